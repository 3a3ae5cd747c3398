#include "app/link_label.h"

#include <QMouseEvent>
#include <QPainter>

namespace korvel {

LinkLabel::LinkLabel(const QString& caption, const QUrl& address, const QColor& hoverColor,
                     QWidget* parent)
    : QLabel(caption, parent)
    , address_(address)
    , hoverColor_(hoverColor) {
    setCursor(Qt::PointingHandCursor);
    setTextFormat(Qt::PlainText);
    setToolTip(address.toString());
    setProperty("link", true);
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
    // The widget's own sheet wins over the skin, so the hover colour shows.
    QString sheet = QStringLiteral("text-decoration: underline; background: transparent;");
    if (hovered)
        sheet += QStringLiteral("color: %1;").arg(hoverColor_.name());
    setStyleSheet(sheet);
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
