#pragma once

#include <QPushButton>

namespace korvel {

// A base button of the base list. Its text is the base's whole name; a name
// too long for the button is drawn ending in "…".
class BaseButton final : public QPushButton {
    Q_OBJECT
public:
    explicit BaseButton(QWidget* parent = nullptr);

    // The text as drawn.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QStyleOptionButton drawnOption() const;
};

} // namespace korvel
