#include "picture_check.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>

namespace korvel {

bool pictureDecodes(const QByteArray& bytes, PictureFormat format) {
    if (bytes.isEmpty())
        return false;
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format == PictureFormat::Jpeg ? "jpeg" : "gif");
    reader.setDecideFormatFromContent(false);
    reader.setAutoDetectImageFormat(false);
    const QImage image = reader.read();
    return !image.isNull();
}

} // namespace korvel
