// Feeds arbitrary bytes to the question-text reader, then writes what it
// read as RTF and reads that again: neither pass may crash, hang or leak.

#include "richtext/rtf_reader.h"
#include "richtext/rtf_writer.h"

#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <cstddef>
#include <cstdint>

namespace {
// Damaged pictures are the fuzzer's daily bread; the image decoders' warnings
// about them would bury its own output.
void dropMessage(QtMsgType, const QMessageLogContext&, const QString&) {}
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(dropMessage);
    static QGuiApplication application(*argc, *argv);
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
