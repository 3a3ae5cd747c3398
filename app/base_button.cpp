#include "app/base_button.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace korvel {

BaseButton::BaseButton(QWidget* parent)
    : QPushButton(parent) {}

QStyleOptionButton BaseButton::drawnOption() const {
    QStyleOptionButton option;
    initStyleOption(&option);
    const QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    option.text = fontMetrics().elidedText(text(), Qt::ElideRight, contents.width());
    return option;
}

QString BaseButton::shownText() const {
    return drawnOption().text;
}

void BaseButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    painter.drawControl(QStyle::CE_PushButton, drawnOption());
}

} // namespace korvel
