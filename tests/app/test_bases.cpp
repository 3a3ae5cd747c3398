#include "test_bases.h"

#include <QBuffer>
#include <QImage>
#include <QStringEncoder>
#include <stdexcept>
#include <zip.h>

namespace korvel::testing {

QByteArray container(const QList<std::tuple<QByteArray, QByteArray, QByteArray>>& records) {
    QByteArray bytes;
    for (const auto& [section, key, value] : records) {
        bytes +=
            '\0' + section + '\0' + key + '\0' + QByteArray::number(value.size()) + '\0' + value;
    }
    bytes += '\0';
    return bytes;
}

QByteArray descriptor(const QString& name, const QString& descript, const QByteArray& vop,
                      const QByteArray& bil) {
    QStringEncoder encoder("windows-1251");
    QString crlf = descript;
    crlf.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    QList<std::tuple<QByteArray, QByteArray, QByteArray>> records{
        {"Base", "Name", encoder.encode(name)}, {"Base", "Descript", encoder.encode(crlf)}};
    if (!vop.isNull())
        records.append({"Base", "Vop", vop});
    if (!bil.isNull())
        records.append({"Base", "Bil", bil});
    return container(records);
}

void writeArchive(const QString& path, const QMap<QString, QByteArray>& entries) {
    int error = 0;
    zip_t* archive = zip_open(path.toLocal8Bit().constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        throw std::runtime_error("cannot create test archive");
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        void* copy = malloc(size_t(it.value().size()));
        memcpy(copy, it.value().constData(), size_t(it.value().size()));
        zip_source_t* source = zip_source_buffer(archive, copy, zip_uint64_t(it.value().size()), 1);
        zip_file_add(archive, it.key().toLocal8Bit().constData(), source, ZIP_FL_ENC_RAW);
    }
    if (zip_close(archive) != 0)
        throw std::runtime_error("cannot write test archive");
}

QByteArray jpegPicture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(40, 120, 200));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return bytes;
}

} // namespace korvel::testing
