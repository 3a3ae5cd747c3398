#pragma once

#include "zip_directory.h"

#include <QByteArray>
#include <optional>

class QIODevice;

namespace korvel {

// The data of one entry of an open archive file, inflated and checked
// against the directory's size and CRC; nullopt when it is damaged,
// encrypted, compressed in another way or above MaxEntrySize.
std::optional<QByteArray> readZipEntry(QIODevice& file, const ZipDirectory& directory,
                                       const ZipEntryLocation& entry);

} // namespace korvel
