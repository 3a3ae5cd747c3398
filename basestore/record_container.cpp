#include "record_container.h"

#include <cstring>
#include <limits>
#include <optional>

namespace korvel {

RecordConversionError::RecordConversionError(const QByteArray& field)
    : std::runtime_error("'" + field.left(40).toStdString() + "' is not a valid integer value") {}

namespace {

enum class Lookup { Text, Stream };

// A field runs to the next 0x00 (consumed) or to the end of the container.
QByteArrayView readField(const QByteArray& bytes, qsizetype& pos) {
    const char* begin = bytes.constData() + pos;
    const qsizetype left = bytes.size() - pos;
    const void* zero = std::memchr(begin, 0, size_t(left));
    const qsizetype length = zero ? static_cast<const char*>(zero) - begin : left;
    pos += zero ? length + 1 : length;
    return QByteArrayView(begin, length);
}

// Decimal with an optional sign, as the length fields were written; anything
// else, or a value beyond 32 bits, does not convert.
std::optional<qint64> parseLength(QByteArrayView field) {
    qsizetype i = 0;
    bool negative = false;
    if (i < field.size() && (field[i] == '-' || field[i] == '+'))
        negative = field[i++] == '-';
    if (i == field.size())
        return std::nullopt;
    qint64 value = 0;
    for (; i < field.size(); ++i) {
        const char c = field[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > std::numeric_limits<qint32>::max() + qint64(negative))
            return std::nullopt;
    }
    return negative ? -value : value;
}

std::optional<QByteArrayView> lookup(Lookup kind, QByteArrayView section, QByteArrayView key,
                                     ByteStream& container) {
    const QByteArray& bytes = container.bytes();
    const qsizetype limit = kind == Lookup::Text ? bytes.size() : bytes.size() - 1;
    qsizetype pos = 0;
    std::optional<QByteArrayView> result;
    while (pos < limit) {
        if (bytes[pos++] != 0)
            continue; // stray bytes between records
        const QByteArrayView recordSection = readField(bytes, pos);
        const QByteArrayView recordKey = readField(bytes, pos);
        const QByteArrayView lengthField = readField(bytes, pos);
        if (lengthField.isEmpty()) {
            if (kind == Lookup::Text)
                break;
            container.seek(pos);
            throw RecordConversionError(QByteArray());
        }
        const std::optional<qint64> length = parseLength(lengthField);
        if (!length) {
            container.seek(pos);
            throw RecordConversionError(lengthField.toByteArray());
        }
        if (recordSection == section && recordKey == key) {
            result = readField(bytes, pos);
            break;
        }
        // A negative length would move the scan backwards forever.
        if (*length < 0 || *length > bytes.size() - pos)
            break;
        pos += *length;
    }
    container.seek(pos);
    return result;
}

} // namespace

QByteArray ReadRecordText(QByteArrayView section, QByteArrayView key, ByteStream& container) {
    const auto value = lookup(Lookup::Text, section, key, container);
    return value ? value->toByteArray() : QByteArray();
}

bool ReadRecordStream(QByteArrayView section, QByteArrayView key, ByteStream& container,
                      ByteStream& out) {
    out.clear();
    const auto value = lookup(Lookup::Stream, section, key, container);
    if (!value)
        return false;
    out.assign(value->toByteArray());
    return true;
}

} // namespace korvel
