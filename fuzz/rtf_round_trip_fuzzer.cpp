// Reads arbitrary bytes as a question text, writes what it read as RTF and
// reads that again: neither pass may crash, hang or leak.

#include "richtext/rtf_reader.h"
#include "richtext/rtf_writer.h"
#include "rtf_fuzz_setup.h"

#include <QTextCursor>
#include <QTextDocument>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzzing::setUpRtfFuzzer(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto document = korvel::loadQuestionText(bytes);
    const QByteArray written = korvel::writeRtf(*document);
    QTextDocument again;
    QTextCursor cursor(&again);
    korvel::insertRtf(cursor, written);
    return 0;
}
