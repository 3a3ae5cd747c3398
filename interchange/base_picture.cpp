#include "base_picture.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

namespace korvel {

namespace {

// A header may announce any size; nothing bigger is decoded at all (a PNG
// is decoded whole before it is scaled: 160 MB at this size).
constexpr qint64 MaxSourcePixels = 40'000'000;

} // namespace

std::optional<QByteArray> toBasePicture(const QByteArray& image, QString* why) {
    QBuffer input;
    input.setData(image);
    input.open(QIODevice::ReadOnly);
    QImageReader reader(&input);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (!reader.canRead() || !size.isValid() || size.isEmpty()) {
        *why = QStringLiteral("does not decode as a picture");
        return std::nullopt;
    }
    if (qint64(size.width()) * size.height() > MaxSourcePixels) {
        *why = QStringLiteral("is %1 x %2 pixels, too big to decode")
                   .arg(size.width())
                   .arg(size.height());
        return std::nullopt;
    }
    if (std::max(size.width(), size.height()) > MaxPictureSide)
        reader.setScaledSize(size.scaled(MaxPictureSide, MaxPictureSide, Qt::KeepAspectRatio));
    const QImage decoded = reader.read();
    if (decoded.isNull()) {
        *why = QStringLiteral("does not decode as a picture (%1)").arg(reader.errorString());
        return std::nullopt;
    }
    QImage flat(decoded.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter(&flat).drawImage(0, 0, decoded);

    QByteArray jpeg;
    QBuffer output(&jpeg);
    output.open(QIODevice::WriteOnly);
    QImageWriter writer(&output, "jpeg");
    writer.setQuality(90);
    if (!writer.write(flat)) {
        *why = QStringLiteral("cannot be written as JPEG (%1)").arg(writer.errorString());
        return std::nullopt;
    }
    return jpeg;
}

} // namespace korvel
