// Container lookups on arbitrary bytes: the first bytes choose the section
// and key (so lookups that match are reached too), the rest is the container.
#include "basestore/record_container.h"

#include <cstdint>

using namespace korvel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    const size_t sectionLength = data[0] % 8;
    const size_t keyLength = data[1] % 8;
    if (size < 2 + sectionLength + keyLength)
        return 0;
    const char* text = reinterpret_cast<const char*>(data);
    const QByteArray section(text + 2, qsizetype(sectionLength));
    const QByteArray key(text + 2 + sectionLength, qsizetype(keyLength));
    const size_t offset = 2 + sectionLength + keyLength;
    ByteStream container(QByteArray(text + offset, qsizetype(size - offset)));

    for (const auto& [s, k] :
         {std::pair{section, key}, std::pair{QByteArray("vop"), QByteArray("yes")}}) {
        try {
            const QByteArray value = ReadRecordText(s, k, container);
            if (value.contains('\0'))
                __builtin_trap();
        } catch (const RecordConversionError&) {
        }
        try {
            ByteStream out;
            const bool found = ReadRecordStream(s, k, container, out);
            if ((!found && !out.isEmpty()) || out.position() != 0 || out.bytes().contains('\0'))
                __builtin_trap();
        } catch (const RecordConversionError&) {
        }
    }
    return 0;
}
