#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>
#include <vector>

class QIODevice;

namespace korvel {

// Where one entry lies in the archive file and what its data must give, as
// the central directory says.
struct ZipEntryLocation {
    quint32 nameOffset = 0; // of the stored name in the directory's name bytes
    quint16 nameLength = 0;
    quint16 method = 0; // 0 stored, 8 deflated; anything else does not read
    quint16 flags = 0;  // bit 0: encrypted
    quint32 localHeader = 0;
    quint32 compressedSize = 0;
    quint32 size = 0; // uncompressed
    quint32 crc = 0;
};

// The entries of one archive, found by name in logarithmic time. Names
// are matched without regard to ASCII letter case, and '\' and '/' are the
// same character; where two entries match one name, the first in the
// archive wins.
class ZipDirectory {
public:
    // Reads the end record and the central directory of an open archive
    // file; throws ArchiveError when the file is not a readable ZIP archive.
    static ZipDirectory read(QIODevice& file, const QString& path);

    const ZipEntryLocation* find(QByteArrayView name) const;
    // Whether two names match the way find() matches them.
    static bool sameName(QByteArrayView a, QByteArrayView b);
    QByteArrayView storedName(const ZipEntryLocation& entry) const {
        return QByteArrayView(names_).sliced(entry.nameOffset, entry.nameLength);
    }
    qsizetype entryCount() const { return qsizetype(entries_.size()); }
    // The file size the directory was read from; entry data must lie below it.
    qint64 fileSize() const { return fileSize_; }
    // Heap bytes held, for keeping the cache of directories in bounds.
    qsizetype memoryUsed() const {
        return names_.capacity() + qsizetype(entries_.capacity() * sizeof(ZipEntryLocation));
    }

private:
    QByteArray names_; // the stored names one after another
    std::vector<ZipEntryLocation> entries_;
    qint64 fileSize_ = 0;
};

} // namespace korvel
