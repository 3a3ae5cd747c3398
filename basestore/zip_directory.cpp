#include "zip_directory.h"

#include "base_archive.h"

#include <QIODevice>
#include <QtEndian>
#include <algorithm>

namespace korvel {

namespace {

constexpr quint32 EndSignature = 0x06054b50;
constexpr quint32 CentralSignature = 0x02014b50;
constexpr qint64 EndRecordSize = 22;
constexpr qint64 MaxCommentSize = 0xFFFF;
constexpr qsizetype CentralRecordSize = 46;
// A directory of 65535 entries with long names stays far below this.
constexpr qint64 MaxDirectorySize = 64 * 1024 * 1024;

quint16 read16(const char* at) {
    return qFromLittleEndian<quint16>(at);
}

quint32 read32(const char* at) {
    return qFromLittleEndian<quint32>(at);
}

char foldNameChar(char c) {
    if (c == '\\')
        return '/';
    if (c >= 'A' && c <= 'Z')
        return char(c - 'A' + 'a');
    return c;
}

// Orders names as their folded forms would.
int compareFolded(QByteArrayView a, QByteArrayView b) {
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        const auto x = uchar(foldNameChar(a[i]));
        const auto y = uchar(foldNameChar(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

struct EndRecord {
    bool zip64 = false; // a ZIP64 locator precedes the record
    quint16 entries = 0;
    quint32 directorySize = 0;
    quint32 directoryOffset = 0;
};

[[noreturn]] void notAnArchive(const QString& path, const char* why) {
    throw ArchiveError(QStringLiteral("Cannot open archive %1: %2")
                           .arg(path, QString::fromLatin1(why))
                           .toStdString());
}

// The last end record whose fields fit a single-volume archive; a comment
// may hold bytes that look like a signature.
EndRecord findEndRecord(QIODevice& file, qint64 fileSize, const QString& path) {
    if (fileSize < EndRecordSize)
        notAnArchive(path, "not a zip archive");
    const qint64 tailSize = std::min(fileSize, EndRecordSize + MaxCommentSize);
    const qint64 tailStart = fileSize - tailSize;
    if (!file.seek(tailStart))
        notAnArchive(path, "read error");
    const QByteArray tail = file.read(tailSize);
    if (tail.size() != tailSize)
        notAnArchive(path, "read error");
    for (qsizetype at = tail.size() - EndRecordSize; at >= 0; --at) {
        const char* p = tail.constData() + at;
        if (read32(p) != EndSignature)
            continue;
        EndRecord end;
        const quint16 disk = read16(p + 4);
        const quint16 directoryDisk = read16(p + 6);
        const quint16 entriesHere = read16(p + 8);
        end.entries = read16(p + 10);
        end.directorySize = read32(p + 12);
        end.directoryOffset = read32(p + 16);
        const qint64 endOffset = tailStart + at;
        end.zip64 = at >= 20 && read32(p - 20) == 0x07064b50;
        if (disk == 0 && directoryDisk == 0 && entriesHere == end.entries &&
            qint64(end.directoryOffset) + qint64(end.directorySize) <= endOffset)
            return end;
    }
    notAnArchive(path, "not a zip archive");
}

} // namespace

ZipDirectory ZipDirectory::read(QIODevice& file, const QString& path) {
    ZipDirectory directory;
    directory.fileSize_ = file.size();
    const EndRecord end = findEndRecord(file, directory.fileSize_, path);
    // The fields a ZIP64 archive moves to its own records are all ones here.
    if (end.zip64 && (end.entries == 0xFFFF || end.directorySize == 0xFFFFFFFFu ||
                      end.directoryOffset == 0xFFFFFFFFu))
        notAnArchive(path, "ZIP64 archives are not supported");
    if (end.directorySize > MaxDirectorySize)
        notAnArchive(path, "central directory too large");
    if (!file.seek(end.directoryOffset))
        notAnArchive(path, "read error");
    const QByteArray central = file.read(end.directorySize);
    if (central.size() != qsizetype(end.directorySize))
        notAnArchive(path, "read error");

    directory.entries_.reserve(end.entries);
    qsizetype at = 0;
    for (int k = 0; k < end.entries; ++k) {
        if (at + CentralRecordSize > central.size())
            notAnArchive(path, "central directory truncated");
        const char* p = central.constData() + at;
        if (read32(p) != CentralSignature)
            notAnArchive(path, "central directory damaged");
        const quint16 nameLength = read16(p + 28);
        const qsizetype recordSize =
            CentralRecordSize + nameLength + read16(p + 30) + read16(p + 32);
        if (at + recordSize > central.size())
            notAnArchive(path, "central directory truncated");
        ZipEntryLocation entry;
        entry.flags = read16(p + 8);
        entry.method = read16(p + 10);
        entry.crc = read32(p + 16);
        entry.compressedSize = read32(p + 20);
        entry.size = read32(p + 24);
        entry.localHeader = read32(p + 42);
        entry.nameOffset = quint32(directory.names_.size());
        entry.nameLength = nameLength;
        directory.names_.append(p + CentralRecordSize, nameLength);
        directory.entries_.push_back(entry);
        at += recordSize;
    }
    directory.names_.squeeze();

    const auto nameOf = [&directory](const ZipEntryLocation& entry) {
        return directory.storedName(entry);
    };
    std::stable_sort(directory.entries_.begin(), directory.entries_.end(),
                     [&](const ZipEntryLocation& a, const ZipEntryLocation& b) {
                         return compareFolded(nameOf(a), nameOf(b)) < 0;
                     });
    const auto duplicates = std::unique(directory.entries_.begin(), directory.entries_.end(),
                                        [&](const ZipEntryLocation& a, const ZipEntryLocation& b) {
                                            return compareFolded(nameOf(a), nameOf(b)) == 0;
                                        });
    directory.entries_.erase(duplicates, directory.entries_.end());
    directory.entries_.shrink_to_fit();
    return directory;
}

bool ZipDirectory::sameName(QByteArrayView a, QByteArrayView b) {
    return compareFolded(a, b) == 0;
}

const ZipEntryLocation* ZipDirectory::find(QByteArrayView name) const {
    const auto it = std::lower_bound(entries_.begin(), entries_.end(), name,
                                     [this](const ZipEntryLocation& entry, QByteArrayView wanted) {
                                         return compareFolded(storedName(entry), wanted) < 0;
                                     });
    if (it == entries_.end() || compareFolded(storedName(*it), name) != 0)
        return nullptr;
    return &*it;
}

} // namespace korvel
