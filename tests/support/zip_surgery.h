#pragma once

#include <QByteArray>
#include <QString>

namespace korvel {

// Damage done to a written archive file in place, for tests of the readers.
// Each one changes both the local and the central header of the entry named
// exactly `name`; they return false when the archive or the entry is not found.

// The stored CRC no longer matches the data.
bool corruptEntryCrc(const QString& path, const QByteArray& name);
// The headers declare another uncompressed size (a lying header, as in a
// deflate bomb).
bool setDeclaredSize(const QString& path, const QByteArray& name, quint32 size);
// The middle of the entry's stored (compressed) data is overwritten.
bool corruptEntryData(const QString& path, const QByteArray& name);
// Keeps only the first `size` bytes of the file.
bool truncateFile(const QString& path, qint64 size);

} // namespace korvel
