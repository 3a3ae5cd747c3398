#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <zip.h>

// Raw ZIP writing for the reader's own tests: names exactly as given
// (backslashes, case), stored or deflated.
struct ZipEntry {
    QByteArray name;
    QByteArray data;
    bool deflate = true;
};

inline bool writeZip(const QString& path, const QList<ZipEntry>& entries) {
    QFile::remove(path);
    int error = 0;
    zip_t* archive =
        zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        return false;
    for (const ZipEntry& entry : entries) {
        zip_source_t* source =
            zip_source_buffer(archive, entry.data.constData(), zip_uint64_t(entry.data.size()), 0);
        const zip_int64_t index =
            zip_file_add(archive, entry.name.constData(), source, ZIP_FL_ENC_RAW);
        if (index < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return false;
        }
        zip_set_file_compression(archive, zip_uint64_t(index),
                                 entry.deflate ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0);
    }
    return zip_close(archive) == 0;
}
