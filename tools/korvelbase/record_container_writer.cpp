#include "record_container_writer.h"

#include <stdexcept>

namespace korvel {

namespace {
void requireField(QByteArrayView field, const char* what, bool mayBeEmpty) {
    if (!mayBeEmpty && field.isEmpty())
        throw std::invalid_argument(std::string("record ") + what + " is empty");
    if (field.contains('\0'))
        throw std::invalid_argument(std::string("record ") + what + " contains a zero byte");
}
} // namespace

RecordContainerWriter& RecordContainerWriter::add(QByteArrayView section, QByteArrayView key,
                                                  QByteArrayView value) {
    requireField(value, "value", true);
    return addWithLengthField(section, key, QByteArray::number(value.size()), value);
}

RecordContainerWriter& RecordContainerWriter::addWithLengthField(QByteArrayView section,
                                                                 QByteArrayView key,
                                                                 QByteArrayView lengthField,
                                                                 QByteArrayView value) {
    requireField(section, "section", false);
    requireField(key, "key", false);
    records_.append('\0').append(section).append('\0').append(key).append('\0');
    records_.append(lengthField).append('\0').append(value);
    return *this;
}

RecordContainerWriter& RecordContainerWriter::addRaw(QByteArrayView bytes) {
    records_.append(bytes);
    return *this;
}

QByteArray RecordContainerWriter::bytes() const {
    if (records_.isEmpty())
        return {};
    return records_ + '\0';
}

} // namespace korvel
