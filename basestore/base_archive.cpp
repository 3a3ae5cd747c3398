#include "base_archive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <zip.h>

namespace korvel {

namespace {

char foldEntryChar(char c) {
    if (c == '\\')
        return '/';
    if (c >= 'A' && c <= 'Z')
        return char(c - 'A' + 'a');
    return c;
}

bool sameEntryName(const char* stored, const QByteArray& wanted) {
    qsizetype i = 0;
    for (; stored[i] != 0; ++i) {
        if (i >= wanted.size() || foldEntryChar(stored[i]) != foldEntryChar(wanted[i]))
            return false;
    }
    return i == wanted.size();
}

QByteArray nativePath(const QString& path) {
#ifdef Q_OS_WIN
    return path.toUtf8();
#else
    return QFile::encodeName(path);
#endif
}

struct EntryFile {
    zip_file_t* file;
    ~EntryFile() {
        if (file)
            zip_fclose(file);
    }
};

} // namespace

Archiver::~Archiver() {
    ArchiveClose();
}

void Archiver::ArchiveOpen() {
    ArchiveClose();
    if (fileName_.isEmpty())
        throw ArchiveError("No archive file name is set");
    if (!QFileInfo(fileName_).isFile())
        throw ArchiveError(QStringLiteral("File %1 not found").arg(fileName_).toStdString());
    int error = 0;
    archive_ = zip_open(nativePath(fileName_).constData(), ZIP_RDONLY, &error);
    if (!archive_) {
        zip_error_t details;
        zip_error_init_with_code(&details, error);
        const std::string message =
            QStringLiteral("Cannot open archive %1: %2")
                .arg(fileName_, QString::fromUtf8(zip_error_strerror(&details)))
                .toStdString();
        zip_error_fini(&details);
        throw ArchiveError(message);
    }
}

void Archiver::ArchiveClose() {
    if (archive_) {
        zip_discard(archive_);
        archive_ = nullptr;
    }
}

void Archiver::ArchiveEntryToStream(const QString& entryName, ByteStream& stream) {
    if (!archive_)
        throw ArchiveError("No archive is open");
    const QByteArray wanted = entryName.toLatin1();
    const zip_int64_t count = zip_get_num_entries(archive_, 0);
    zip_int64_t index = -1;
    for (zip_int64_t i = 0; i < count && index < 0; ++i) {
        const char* name = zip_get_name(archive_, zip_uint64_t(i), ZIP_FL_ENC_RAW);
        if (name && sameEntryName(name, wanted))
            index = i;
    }
    if (index < 0)
        throw ArchiveError(QStringLiteral("Entry %1 not found").arg(entryName).toStdString());

    const std::string damaged = QStringLiteral("Entry %1 is damaged").arg(entryName).toStdString();
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive_, zip_uint64_t(index), 0, &stat) != 0 ||
        !(stat.valid & ZIP_STAT_SIZE) || stat.size > zip_uint64_t(MaxEntrySize))
        throw ArchiveError(damaged);

    EntryFile entry{zip_fopen_index(archive_, zip_uint64_t(index), 0)};
    if (!entry.file)
        throw ArchiveError(damaged);
    // One byte of room beyond the declared size catches data that inflates
    // to more than the header says; the CRC is checked only by the read
    // after the last byte, so read until zip_fread gives 0.
    QByteArray data(qsizetype(stat.size) + 1, Qt::Uninitialized);
    qsizetype filled = 0;
    for (;;) {
        const zip_int64_t got =
            zip_fread(entry.file, data.data() + filled, zip_uint64_t(data.size() - filled));
        if (got < 0)
            throw ArchiveError(damaged);
        if (got == 0)
            break;
        filled += qsizetype(got);
        if (filled > qsizetype(stat.size))
            throw ArchiveError(damaged);
    }
    if (filled != qsizetype(stat.size))
        throw ArchiveError(damaged);
    data.truncate(filled);
    if (stream.isEmpty())
        stream.bytes() = std::move(data);
    else
        stream.bytes().append(data);
}

ByteStream readArchiveEntry(Archiver& archiver, const QString& archivePath,
                            const QString& entryName) {
    ByteStream stream;
    archiver.setFileName(archivePath);
    try {
        archiver.ArchiveOpen();
        archiver.ArchiveEntryToStream(entryName, stream);
    } catch (...) {
        archiver.ArchiveClose();
        throw;
    }
    archiver.ArchiveClose();
    stream.seek(0);
    return stream;
}

QStringList listBaseArchives(const QString& folder) {
    QDir dir(folder);
    dir.setFilter(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    dir.setSorting(QDir::Name);
    dir.setNameFilters({QStringLiteral("*.zip")});
    QStringList names;
    for (const QFileInfo& info : dir.entryInfoList()) {
        if (info.isFile() && info.fileName().endsWith(QLatin1String(".zip"), Qt::CaseInsensitive))
            names << info.fileName();
    }
    return names;
}

} // namespace korvel
