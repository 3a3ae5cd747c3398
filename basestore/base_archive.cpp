#include "base_archive.h"

#include "zip_entry_reader.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

namespace korvel {

EntryNotFoundError::EntryNotFoundError(const QString& entryName)
    : ArchiveError(QStringLiteral("Entry %1 not found").arg(entryName).toStdString()) {}

Archiver::~Archiver() {
    ArchiveClose();
}

void Archiver::ArchiveOpen() {
    ArchiveClose();
    if (fileName_.isEmpty())
        throw ArchiveError("No archive file name is set");
    directory_ = cache_.directory(fileName_);
    openPath_ = fileName_;
}

void Archiver::ArchiveClose() {
    directory_.reset();
    openPath_.clear();
}

bool Archiver::ArchiveHasEntry(const QString& entryName) const {
    return directory_ && directory_->find(entryName.toLatin1());
}

void Archiver::ArchiveEntryToStream(const QString& entryName, ByteStream& stream) {
    if (!directory_)
        throw ArchiveError("No archive is open");
    const QByteArray wanted = entryName.toLatin1();
    const ZipEntryLocation* entry = directory_->find(wanted);
    if (!entry)
        throw EntryNotFoundError(entryName);

    QFile file(openPath_);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw ArchiveError(QStringLiteral("File %1 not found").arg(openPath_).toStdString());
    if (file.size() != directory_->fileSize()) {
        // Replaced since it was opened: its directory is read again.
        directory_ = cache_.directory(openPath_, true);
        entry = directory_->find(wanted);
        if (!entry)
            throw EntryNotFoundError(entryName);
    }
    std::optional<QByteArray> data = readZipEntry(file, *directory_, *entry);
    if (!data)
        throw ArchiveError(QStringLiteral("Entry %1 is damaged").arg(entryName).toStdString());
    if (stream.isEmpty())
        stream.bytes() = std::move(*data);
    else
        stream.bytes().append(*data);
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
    // No name filter: QDir compiles one into a regular expression at every
    // listing, and the suffix test below is all it would do.
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    QStringList names;
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (name.endsWith(QLatin1String(".zip"), Qt::CaseInsensitive))
            names << name;
    }
    names.sort(); // as QDir::Name sorts: by UTF-16 code units
    return names;
}

} // namespace korvel
