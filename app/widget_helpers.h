#pragma once

#include <QByteArray>
#include <QPixmap>
#include <QString>
#include <QWidget>

namespace korvel {

// Creates a child control at its design place (left, top, width, height) with
// its name as objectName, so the layout reads like the form it came from.
template <class W, class... Args>
W* placed(QWidget* parent, const QString& name, int left, int top, int width, int height,
          Args&&... args) {
    auto* widget = new W(std::forward<Args>(args)..., parent);
    widget->setObjectName(name);
    widget->setGeometry(left, top, width, height);
    return widget;
}

// Windows-1251 bytes of a base as text; CR LF line breaks become LF.
QString fromBaseText(const QByteArray& bytes);

// Decodes a picture of a base (JPEG in practice); very large photos are
// scaled down while decoding. A null pixmap when the bytes are no picture.
QPixmap decodePicture(const QByteArray& bytes);

} // namespace korvel
