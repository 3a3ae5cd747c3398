// Question presentation (ShowZamtor) as the question steps call it, on the
// demo base and on a generated base of 64,800 entries (216 tickets of 100
// questions, each with text, picture and record). Pending window messages
// are not processed, so only the presentation itself is timed. Prints the
// median and the slowest decile of each, and the peak memory (VmHWM).
//
//   show_zamtor_bench [demo.zip]
//
// The large base is written by a second run of this program
// (--write-large PATH), so the memory the writing takes is not counted.

#include "basestore/base_archive.h"
#include "basestore/base_catalogue.h"
#include "engine/run_engine.h"
#include "engine/run_window.h"
#include "platform/message_boxes.h"
#include "platform/play_effect.h"
#include "platform/sound_output.h"
#include "settings/live_settings.h"
#include "tests/support/test_base_builder.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace korvel;

namespace {

constexpr int Samples = 1001;

class SilentSound final : public SoundOutput {
public:
    void stopAll() override {}
    void play(const QString&) override {}
};

// The window of a run with nothing to draw: the dialogs choose every ticket.
class BenchWindow final : public RunWindow {
public:
    RunEngine* engine = nullptr;

    void showRunPage(RunPage) override {}
    void processPendingMessages() override {}
    void execTicketChoice() override {
        engine->TicketsAllClick();
        engine->TicketsChooseClick();
    }
    void execExamInfo() override { engine->ExamCancelClick(); }
    void layoutWindow() override {}
    void focusQuestionText() override {}
    int answerLineCount(int, const QString& text) const override {
        return 1 + int(text.size()) / 60;
    }
    QSize pictureArea() const override { return {745, 168}; }
    QString askSaveFileName(const SaveDialogRequest&) override { return {}; }
    QString openLiterature(const QString&, const QString&) override { return {}; }
    QString printDocument(QTextDocument&) override { return {}; }
};

// A JPEG of 400 x 300 with some grain, larger than the picture area, so it
// is decoded down to it.
QByteArray photo() {
    QImage image(400, 300, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qRgb((x * 255) / 400, (y * 255) / 300, 96 + int(random.bounded(24)));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 80);
    return bytes;
}

QByteArray rtfText(int t, int q) {
    QByteArray text = "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 ";
    for (int k = 0; k < 12; ++k)
        text += "\\'c2\\'ee\\'ef\\'f0\\'ee\\'f1 " + QByteArray::number(t * 1000 + q + k) + " ";
    return text + "\\par}";
}

void writeLargeBase(const QString& path) {
    TestBaseBuilder base;
    base.setCounts(216, 100, "Bench");
    const QByteArray picture = photo();
    for (int t = 1; t <= 216; ++t) {
        for (int q = 1; q <= 100; ++q) {
            base.addQuestion(
                t, q, rtfText(t, q),
                q % 4 == 0 ? multipleQuestion({1, 3}, 4) : standardQuestion(1 + q % 3, 4), picture);
        }
    }
    base.write(path);
}

long peakMemoryKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

struct Timing {
    double median = 0;
    double decile = 0;
    int presented = 0;
};

// Steps through the questions of a preparation run on every ticket: each
// question step presents one question, every fifth step goes to the next
// ticket.
Timing timePresentations(const QString& basePath) {
    Archiver archiver;
    ScriptedMessageBoxes boxes;
    SilentSound sound;
    LiveSettings settings;
    settings.applyDefaultColors();
    SoundEffects effects(sound, [] { return false; });
    BenchWindow window;
    QRandomGenerator random(1);

    RunEnvironment environment;
    environment.archiver = &archiver;
    environment.boxes = &boxes;
    environment.effects = &effects;
    environment.settings = &settings;
    environment.window = &window;
    environment.programFolder = QStringLiteral("/nonexistent/");
    environment.random = [&random](int low, int high) {
        return int(random.bounded(low, high + 1));
    };
    environment.timeOfDay = [] { return QTime(12, 0); };
    RunEngine engine(environment);
    window.engine = &engine;

    const OpenedBase opened = openBase(archiver, basePath);
    if (opened.status != OpenedBase::Status::Ok) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(basePath));
        return {};
    }
    settings.setTicketCount(opened.counts.tickets);
    engine.openBase(opened.path, opened.descriptor, opened.counts.tickets,
                    opened.counts.questionsPerTicket);
    engine.Frame31spSkinButton1Click();
    const int generationBefore = engine.page().textGeneration;

    std::vector<double> ms;
    ms.reserve(Samples);
    QElapsedTimer timer;
    for (int k = 0; k < Samples; ++k) {
        timer.start();
        if (k % 5 == 4)
            engine.NextBiletClick();
        else
            engine.NextButtonClick();
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    if (!boxes.shown().isEmpty())
        std::fprintf(stderr, "messages shown: %s\n", qPrintable(boxes.shown().first().text));
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms[ms.size() * 9 / 10],
            engine.page().textGeneration - generationBefore};
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--write-large") {
        writeLargeBase(QString::fromLocal8Bit(argv[2]));
        return 0;
    }
    const QString demo =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(KORVEL_DEMO_BASE);

    const Timing small = timePresentations(demo);
    std::printf("demo base (4 x 5):          median %.3f ms, 90%% %.3f ms, %d presented\n",
                small.median, small.decile, small.presented);

    QTemporaryDir folder;
    const QString large = folder.filePath(QStringLiteral("large.zip"));
    if (QProcess::execute(QCoreApplication::applicationFilePath(),
                          {QStringLiteral("--write-large"), large}) != 0) {
        std::fprintf(stderr, "cannot write the large base\n");
        return 1;
    }
    std::printf("generated base: %lld bytes, 64800 entries\n", QFile(large).size());
    const Timing big = timePresentations(large);
    std::printf("large base (216 x 100):     median %.3f ms, 90%% %.3f ms, %d presented\n",
                big.median, big.decile, big.presented);
    std::printf("peak memory (VmHWM):        %ld kB\n", peakMemoryKb());
    return 0;
}
