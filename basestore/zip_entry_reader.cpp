#include "zip_entry_reader.h"

#include "base_archive.h"

#include <QIODevice>
#include <QtEndian>
#include <zlib.h>

namespace korvel {

namespace {

constexpr quint32 LocalSignature = 0x04034b50;
constexpr qint64 LocalHeaderSize = 30;
constexpr qint64 InputChunk = 64 * 1024;
constexpr quint16 MethodStored = 0;
constexpr quint16 MethodDeflated = 8;
constexpr quint16 FlagEncrypted = 1;

// Where the entry's data starts, or -1 when its local header does not
// belong to it (a damaged or rewritten archive).
qint64 dataStart(QIODevice& file, const ZipDirectory& directory, const ZipEntryLocation& entry) {
    if (!file.seek(entry.localHeader))
        return -1;
    const QByteArray header = file.read(LocalHeaderSize);
    if (header.size() != LocalHeaderSize ||
        qFromLittleEndian<quint32>(header.constData()) != LocalSignature)
        return -1;
    const quint16 nameLength = qFromLittleEndian<quint16>(header.constData() + 26);
    const quint16 extraLength = qFromLittleEndian<quint16>(header.constData() + 28);
    // Some writers spell a name differently in the two headers ('\' for '/').
    if (!ZipDirectory::sameName(file.read(nameLength), directory.storedName(entry)))
        return -1;
    return qint64(entry.localHeader) + LocalHeaderSize + nameLength + extraLength;
}

bool inflateInto(QIODevice& file, quint32 compressedSize, QByteArray& out) {
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return false;
    struct End {
        z_stream& stream;
        ~End() { inflateEnd(&stream); }
    } end{stream};

    // One byte of room beyond the declared size catches data that inflates
    // to more than the header says.
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    qint64 remaining = compressedSize;
    QByteArray input;
    for (;;) {
        if (stream.avail_in == 0 && remaining > 0) {
            input = file.read(std::min(remaining, InputChunk));
            if (input.isEmpty())
                return false;
            remaining -= input.size();
            stream.next_in = reinterpret_cast<Bytef*>(input.data());
            stream.avail_in = uInt(input.size());
        }
        const int result = inflate(&stream, Z_NO_FLUSH);
        if (result == Z_STREAM_END)
            break;
        if (result != Z_OK || stream.avail_out == 0)
            return false;
        if (stream.avail_in == 0 && remaining == 0)
            return false; // the data ends before the deflate stream does
    }
    out.truncate(qsizetype(stream.total_out));
    return true;
}

} // namespace

std::optional<QByteArray> readZipEntry(QIODevice& file, const ZipDirectory& directory,
                                       const ZipEntryLocation& entry) {
    if ((entry.flags & FlagEncrypted) || entry.size > quint64(MaxEntrySize))
        return std::nullopt;
    if (entry.method != MethodStored && entry.method != MethodDeflated)
        return std::nullopt;
    if (entry.method == MethodStored && entry.compressedSize != entry.size)
        return std::nullopt;
    const qint64 start = dataStart(file, directory, entry);
    if (start < 0 || start + qint64(entry.compressedSize) > directory.fileSize())
        return std::nullopt;

    QByteArray data;
    if (entry.method == MethodStored) {
        data = file.read(entry.size);
    } else {
        data.resize(qsizetype(entry.size) + 1);
        if (!inflateInto(file, entry.compressedSize, data))
            return std::nullopt;
    }
    if (data.size() != qsizetype(entry.size))
        return std::nullopt;
#ifndef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    // A fuzzer's mutated entries would all stop here, short of the record
    // readers behind; only fuzz builds let them through.
    const uLong crc = crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(data.constData()),
                            uInt(data.size()));
    if (crc != entry.crc)
        return std::nullopt;
#endif
    return data;
}

} // namespace korvel
