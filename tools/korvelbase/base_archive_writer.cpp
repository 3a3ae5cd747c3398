#include "base_archive_writer.h"

#include <QFile>
#include <QSaveFile>
#include <ctime>
#include <zip.h>

namespace korvel {

namespace {

// A fixed modification time keeps two builds of the same source identical.
constexpr std::time_t EntryTime = 1704067200; // 2024-01-01 00:00 UTC

QByteArray nativePath(const QString& path) {
#ifdef Q_OS_WIN
    return path.toUtf8();
#else
    return QFile::encodeName(path);
#endif
}

std::string libzipMessage(zip_t* archive) {
    return zip_error_strerror(zip_get_error(archive));
}

// libzip writes nothing for an archive without entries, so the empty
// archive (its end-of-central-directory record alone) is written here.
void writeEmptyArchive(const QString& path) {
    QByteArray record(22, '\0');
    record[0] = 'P';
    record[1] = 'K';
    record[2] = 5;
    record[3] = 6;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(record) != record.size() || !file.commit())
        throw ArchiveWriteError("Cannot write " + path.toStdString() + ": " +
                                file.errorString().toStdString());
}

} // namespace

void BaseArchiveWriter::addEntry(const QString& name, QByteArray data,
                                 EntryCompression compression) {
    if (name.isEmpty())
        throw ArchiveWriteError("An archive entry needs a name");
    entries_.append({name.toUtf8(), std::move(data), compression});
}

void BaseArchiveWriter::write(const QString& path) const {
    if (entries_.isEmpty()) {
        writeEmptyArchive(path);
        return;
    }
    int code = 0;
    zip_t* archive = zip_open(nativePath(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        const std::string message =
            "Cannot create " + path.toStdString() + ": " + zip_error_strerror(&error);
        zip_error_fini(&error);
        throw ArchiveWriteError(message);
    }
    auto fail = [&](const Entry& entry) {
        const std::string message = "Cannot add " + entry.name.toStdString() + " to " +
                                    path.toStdString() + ": " + libzipMessage(archive);
        zip_discard(archive);
        throw ArchiveWriteError(message);
    };
    // The buffers are read at zip_close; entries_ outlives it.
    for (const Entry& entry : entries_) {
        zip_source_t* source =
            zip_source_buffer(archive, entry.data.constData(), zip_uint64_t(entry.data.size()), 0);
        if (!source)
            fail(entry);
        const zip_int64_t index = zip_file_add(archive, entry.name.constData(), source, 0);
        if (index < 0) {
            zip_source_free(source);
            fail(entry);
        }
        const bool stored = entry.compression == EntryCompression::Stored;
        if (zip_set_file_compression(archive, zip_uint64_t(index),
                                     stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, stored ? 0 : 9) != 0 ||
            zip_file_set_mtime(archive, zip_uint64_t(index), EntryTime, 0) != 0)
            fail(entry);
    }
    if (zip_close(archive) != 0) {
        const std::string message =
            "Cannot write " + path.toStdString() + ": " + libzipMessage(archive);
        zip_discard(archive);
        throw ArchiveWriteError(message);
    }
}

} // namespace korvel
