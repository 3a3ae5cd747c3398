// Shared by the bank importers' fuzz targets: what an import is followed by
// in korvelbase (the dealing and the conversion into a base, HTML and
// pictures included), so that every byte the importer lets through is also
// laid out, written as RTF and decoded as a picture.
#pragma once

#include "interchange/bank_to_base.h"
#include "interchange/ticket_dealing.h"

#include <QByteArray>
#include <QGuiApplication>
#include <cstdint>

namespace korvel {

inline QByteArray fuzzInput(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

inline void convertToBase(const QuestionBank& bank) {
    const TicketDealing dealing = dealTickets(bank.questions, std::nullopt);
    if (dealing.error.isEmpty())
        bankToBase(bank, dealing, {QStringLiteral("fuzz"), {}, {}, {}});
}

} // namespace korvel

namespace {

// Broken pictures are everyday input here; the decoders' warnings about
// them would bury libFuzzer's own output.
void dropMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg)
        qFatal("%s", qPrintable(message));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(dropMessages);
    static QGuiApplication application(*argc, *argv);
    return 0;
}
