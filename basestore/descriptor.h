#pragma once

#include "byte_stream.h"

#include <QByteArray>
#include <QList>
#include <optional>
#include <stdexcept>

namespace korvel {

inline constexpr int MinCount = 1;
inline constexpr int MaxCount = 1000;

// Base/Vop or Base/Bil absent or not a decimal integer.
class DescriptorError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct BaseCounts {
    int tickets = 0;            // Base/Bil
    int questionsPerTicket = 0; // Base/Vop

    bool inRange() const {
        return tickets >= MinCount && tickets <= MaxCount && questionsPerTicket >= MinCount &&
               questionsPerTicket <= MaxCount;
    }
    friend bool operator==(const BaseCounts&, const BaseCounts&) = default;
};

// Texts are Windows-1251 bytes, multi-line ones with CR LF.
QByteArray descriptorName(ByteStream& descriptor);
QByteArray descriptorDescript(ByteStream& descriptor);
// Throws DescriptorError; the range is for the caller to check.
BaseCounts readBaseCounts(ByteStream& descriptor);
// The lines of Base/Pozdr or Base/Izdevat; empty when the key is absent.
QList<QByteArray> descriptorPozdr(ByteStream& descriptor);
QList<QByteArray> descriptorIzdevat(ByteStream& descriptor);
// File name of the literature page Literature/L<index>, empty when absent.
QByteArray literaturePage(ByteStream& descriptor, const QByteArray& index);

// Splits at CR, LF or CR LF; a break at the very end starts no further line.
QList<QByteArray> splitTextLines(const QByteArray& text);

} // namespace korvel
