#include "app/widget_helpers.h"

#include <QBuffer>
#include <QImageReader>
#include <QStringDecoder>

namespace korvel {

namespace {
// Enough for every picture area of the window, also maximised.
constexpr int MaxPictureSide = 2048;
} // namespace

QString fromBaseText(const QByteArray& bytes) {
    QStringDecoder decoder("windows-1251");
    QString text = decoder.isValid() ? decoder.decode(bytes) : QString::fromLatin1(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QPixmap decodePicture(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return {};
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > MaxPictureSide || size.height() > MaxPictureSide))
        reader.setScaledSize(size.scaled(MaxPictureSide, MaxPictureSide, Qt::KeepAspectRatio));
    const QImage image = reader.read();
    if (image.isNull())
        return {};
    return QPixmap::fromImage(image);
}

} // namespace korvel
