#pragma once

// What both RTF targets need before the first input: their options, an
// application for the image plugins, and quiet decoders.

#include "fuzz_options.h"

#include <QGuiApplication>
#include <QtGlobal>

namespace fuzzing {

inline QtMessageHandler defaultHandler = nullptr;

// Damaged pictures are the fuzzer's daily bread; the image decoders' warnings
// about them would bury its own output. Critical and fatal messages still go out.
inline void dropWarnings(QtMsgType type, const QMessageLogContext& context,
                         const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        defaultHandler(type, context, message);
}

inline void setUpRtfFuzzer(int* argc, char*** argv) {
    applyOptionsFile(argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    defaultHandler = qInstallMessageHandler(dropWarnings);
    static QGuiApplication application(*argc, *argv);
}

} // namespace fuzzing
