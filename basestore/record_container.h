#pragma once

#include "byte_stream.h"

#include <QByteArrayView>
#include <stdexcept>

namespace korvel {

// A length field that is not a decimal integer: the container is malformed.
class RecordConversionError : public std::runtime_error {
public:
    explicit RecordConversionError(const QByteArray& field);
};

// Both lookups scan from the start whatever the read position is, and leave
// the position where the scan ended. The first matching record counts.
QByteArray ReadRecordText(QByteArrayView section, QByteArrayView key, ByteStream& container);
bool ReadRecordStream(QByteArrayView section, QByteArrayView key, ByteStream& container,
                      ByteStream& out);

} // namespace korvel
