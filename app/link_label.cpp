#include "app/link_label.h"

#include <QMouseEvent>
#include <QPainter>

namespace korvel {

LinkLabel::LinkLabel(const QString& caption, const QUrl& address, const QColor& color,
                     const QColor& hoverColor, QWidget* parent)
    : QLabel(caption, parent)
    , address_(address)
    , color_(color)
    , hoverColor_(hoverColor) {
    setCursor(Qt::PointingHandCursor);
    setTextFormat(Qt::PlainText);
    setToolTip(address.toString());
    showHover(false);
}

void LinkLabel::setPicture(const QPixmap& picture) {
    picture_ = picture;
    setIndent(picture.isNull() ? -1 : picture.width() + 6);
    update();
}

void LinkLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (picture_.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, (height() - picture_.height()) / 2, picture_);
}

void LinkLabel::showHover(bool hovered) {
    hovered_ = hovered;
    // The widget's own sheet wins over the skin. It names this class, because
    // the tool tip shown for a widget takes that widget's sheet as well and
    // must keep the skin's pale look.
    setStyleSheet(QStringLiteral("korvel--LinkLabel { text-decoration: underline; "
                                 "background: transparent; color: %1; }")
                      .arg((hovered ? hoverColor_ : color_).name()));
}

void LinkLabel::enterEvent(QEnterEvent* event) {
    showHover(true);
    QLabel::enterEvent(event);
}

void LinkLabel::leaveEvent(QEvent* event) {
    showHover(false);
    QLabel::leaveEvent(event);
}

void LinkLabel::mousePressEvent(QMouseEvent* event) {
    // Taken here so a click on a link does not reach the window behind it.
    event->accept();
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit activated(address_);
}

} // namespace korvel
