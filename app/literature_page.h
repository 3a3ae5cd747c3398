#pragma once

#include <QFrame>

class QTextBrowser;
class QToolButton;

namespace korvel {

// The literature page OtvetNaVopros: a bar with the close button and the
// viewer filling the rest.
class LiteraturePage final : public QFrame {
public:
    static constexpr int BarHeight = 48;

    explicit LiteraturePage(QWidget* parent = nullptr);

    QTextBrowser* viewer() const { return viewer_; }
    QToolButton* closeButton() const { return close_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QFrame* bar_ = nullptr;
    QToolButton* close_ = nullptr;
    QTextBrowser* viewer_ = nullptr;
};

} // namespace korvel
