// Reads arbitrary bytes as a question text, the way a question is shown. The
// write-back has a target of its own; this one stays fast on short inputs.

#include "richtext/rtf_reader.h"
#include "rtf_fuzz_setup.h"

#include <QTextDocument>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzzing::setUpRtfFuzzer(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    korvel::RtfReadResult result;
    const auto document = korvel::loadQuestionText(bytes, &result);
    if (!result.ok) // a question text that is not RTF is plain text, never refused
        __builtin_trap();
    return 0;
}
