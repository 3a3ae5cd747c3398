#pragma once

#include <QFont>
#include <QObject>
#include <QString>

namespace korvel {

// Width of the text area of the hint memo Memo2: 401 pixels less its border,
// its vertical scroll bar and the text margins.
inline constexpr int HintMemoWidth = 401;
int hintTextWidth();

// spSkinHint1ShowHint: the hint broken at word boundaries into lines no
// wider than the memo's text area, joined with CR LF, no break after the
// last line. An explicit line break in the hint starts a new line too.
QString spSkinHint1ShowHint(const QString& hint, const QFont& font);

// Serves every tool tip of the program: shows it wrapped, in the given font,
// and keeps it up until the pointer leaves its control.
class HintWrapper final : public QObject {
public:
    HintWrapper(const QFont& font, QObject* parent = nullptr);

    // The text the last tool tip showed, as spSkinHint1ShowHint gave it.
    const QString& lastHint() const { return lastHint_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QFont font_;
    QString lastHint_;
};

} // namespace korvel
