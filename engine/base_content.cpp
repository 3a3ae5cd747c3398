#include "engine/base_content.h"

#include <QBuffer>
#include <QImageReader>

namespace korvel {

QImage decodePicture(const QByteArray& bytes, QSize fitInto) {
    if (bytes.isEmpty())
        return {};
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (size.isValid() && fitInto.isValid() &&
        (size.width() > fitInto.width() || size.height() > fitInto.height()))
        reader.setScaledSize(size.scaled(fitInto, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    return reader.read();
}

} // namespace korvel
