// The report of a run with 500 wrong questions (50 tickets of 10) on a
// generated base: the median of composing it into a bare document, into a
// document laid out for a text box (as the program shows it) and of saving
// it as RTF. Goal: composition under a second.

#include "basestore/base_archive.h"
#include "report/report_composition.h"
#include "report/report_saving.h"
#include "tests/support/test_base_builder.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTextDocument>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace korvel;

namespace {

constexpr int Tickets = 50;
constexpr int Questions = 10;
constexpr int Samples = 7;

QByteArray cp1251(const QString& text) {
    return QStringEncoder("windows-1251").encode(text);
}

// A question text of a few lines with the usual run changes.
QByteArray questionText(int t, int q) {
    QByteArray text = "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\froman\\fcharset204 Times "
                      "New Roman;}}{\\colortbl;\\red0\\green0\\blue128;}\\pard\\qj\\f0\\fs24 ";
    for (int k = 0; k < 6; ++k)
        text += cp1251(QStringLiteral("Какие требования предъявляются к ")) + "\\b\\cf1 " +
                QByteArray::number(t * 100 + q + k) + "\\b0\\cf0 " +
                cp1251(QStringLiteral(" оборудованию при работе? ")) + (k % 2 ? "\\par " : "");
    return text + "\\par}";
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double timeMedian(const std::function<void()>& call) {
    std::vector<double> times;
    QElapsedTimer timer;
    for (int k = 0; k < Samples; ++k) {
        timer.start();
        call();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return median(times);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);

    QTemporaryDir folder;
    TestBaseBuilder base;
    base.setCounts(Tickets, Questions);
    for (int t = 1; t <= Tickets; ++t)
        for (int q = 1; q <= Questions; ++q) {
            RecordContainerWriter record;
            record.add("vop", "yes", "1");
            for (int k = 1; k <= 5; ++k)
                record.add("vop", "ot" + QByteArray::number(k),
                           cp1251(QStringLiteral("Вариант ответа номер %1 к вопросу %2.%3")
                                      .arg(k)
                                      .arg(t)
                                      .arg(q)));
            base.addQuestion(t, q, questionText(t, q), record);
        }
    const QString basePath = folder.filePath(QStringLiteral("bench.zip"));
    base.write(basePath);

    Archiver archiver;
    ReportInput input;
    input.examineeName = QStringLiteral("Иванов Иван Иванович");
    for (int t = 1; t <= Tickets; ++t)
        input.chosenTickets << t;
    input.questionsPerTicket = Questions;
    input.red = Tickets * Questions;
    input.analizStr = QStringLiteral("ВЫ не сдали Экзамен! Оценка - 2");
    input.percent = 0;
    input.good = false;
    input.chosenCell = [](int, int) { return QByteArray("\0\1\0\0\0", 5); };
    input.rightCell = [](int, int) { return QByteArray("\1\0\0\0\0", 5); };
    input.basePath = basePath;
    input.archiver = &archiver;
    int fileIoErrors = 0;
    const ReportHooks hooks{{}, [&] { ++fileIoErrors; }};

    QTextDocument bare;
    const double composeMs = timeMedian([&] { composeReport(bare, input, hooks); });

    QTextDocument shown;
    shown.setPageSize(QSizeF(600, -1));
    shown.documentLayout();
    const double shownMs = timeMedian([&] {
        composeReport(shown, input, hooks);
        shown.size();
    });

    const QString reportPath = folder.filePath(QStringLiteral("Otchet.RTF"));
    QString saveError;
    const double saveMs = timeMedian([&] { saveError = saveReport(bare, reportPath); });

    std::printf("report of %d wrong questions: %d blocks, %d record errors\n", Tickets * Questions,
                bare.blockCount(), fileIoErrors);
    std::printf("compose (bare document)       median %8.1f ms\n", composeMs);
    std::printf("compose and lay out (shown)   median %8.1f ms\n", shownMs);
    std::printf("save as RTF                   median %8.1f ms%s\n", saveMs,
                saveError.isEmpty() ? "" : qPrintable(QStringLiteral("  (") + saveError + ')'));
    return fileIoErrors == 0 && saveError.isEmpty() ? 0 : 1;
}
