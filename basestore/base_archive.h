#pragma once

#include "archive_index_cache.h"
#include "byte_stream.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <stdexcept>

namespace korvel {

// An archive that cannot be opened, an entry that is missing, or entry data
// that is damaged (bad deflate data, CRC mismatch, refused size).
class ArchiveError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The archive reads, but holds no entry of that name.
class EntryNotFoundError : public ArchiveError {
public:
    explicit EntryNotFoundError(const QString& entryName);
};

// Entries bigger than this are refused as damaged before anything is inflated.
inline constexpr qint64 MaxEntrySize = 64 * 1024 * 1024;

// The one archive reader: at most one archive open at a time, opened and
// closed around every read so no archive stays open between user actions.
// Opening reads the archive's directory once and keeps it while the file is
// unchanged; the file itself is open only while an entry is read, so a base
// can be replaced while the program runs.
class Archiver {
public:
    Archiver() = default;
    Archiver(const Archiver&) = delete;
    Archiver& operator=(const Archiver&) = delete;
    ~Archiver();

    void setFileName(const QString& path) { fileName_ = path; }
    const QString& fileName() const { return fileName_; }
    bool isOpen() const { return directory_ != nullptr; }

    void ArchiveOpen();
    // Names match without regard to ASCII letter case, and '\' and '/' are
    // the same character on both sides; only the exact path matches.
    // Throws EntryNotFoundError or, for damaged data, ArchiveError.
    void ArchiveEntryToStream(const QString& entryName, ByteStream& stream);
    void ArchiveClose();

    // Whether the open archive holds an entry of that name (matched as
    // above), without reading it; false when none is open.
    bool ArchiveHasEntry(const QString& entryName) const;

    // The directories kept for the archives read so far.
    const ArchiveIndexCache& indexCache() const { return cache_; }

private:
    QString fileName_;
    QString openPath_;
    std::shared_ptr<const ZipDirectory> directory_;
    ArchiveIndexCache cache_;
};

// Open, read one entry, close: the sequence every reader of an entry follows.
// The stream's read position is 0 afterwards.
ByteStream readArchiveEntry(Archiver& archiver, const QString& archivePath,
                            const QString& entryName);

// File names (no folder) of the base archives in a folder: regular files
// ending in ".zip" in any case, hidden ones included, sorted by name so that
// two listings of an unchanged folder agree.
QStringList listBaseArchives(const QString& folder);

} // namespace korvel
