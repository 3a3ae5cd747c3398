// Feeds arbitrary bytes to the question-text reader, then writes what it
// read as RTF and reads that again: neither pass may crash, hang or leak.

#include "richtext/rtf_reader.h"
#include "richtext/rtf_writer.h"

#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

QtMessageHandler defaultHandler = nullptr;

// Damaged pictures are the fuzzer's daily bread; the image decoders' warnings
// about them would bury its own output. Critical and fatal messages still go out.
void dropWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        defaultHandler(type, context, message);
}

// libpng writes its errors straight to stderr, past Qt. Unless told
// otherwise, libFuzzer is asked to close the target's stderr: its own output
// and the sanitizers' reports go to a copy it keeps.
void closeStderrUnlessTold(int* argc, char*** argv) {
    for (int k = 1; k < *argc; ++k) {
        if (std::strncmp((*argv)[k], "-close_fd_mask=", 15) == 0)
            return;
    }
    static char flag[] = "-close_fd_mask=2";
    static std::vector<char*> arguments;
    arguments.assign(*argv, *argv + *argc);
    arguments.push_back(flag);
    arguments.push_back(nullptr);
    *argc += 1;
    *argv = arguments.data();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    closeStderrUnlessTold(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    defaultHandler = qInstallMessageHandler(dropWarnings);
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
