// Entry access in a base of the demo's size and in one of 64,800 entries
// (216 tickets of 100 questions, text, picture and record each): the median
// open-read-close of each kind of entry, the indexing of the archive, the
// catalogue build of 200 demo-sized bases and the memory of the large index.
// With --keep DIR the generated bases stay in DIR.

#include "basestore/base_catalogue.h"
#include "basestore/question_cipher.h"
#include "basestore/question_record.h"
#include "tools/korvelbase/base_archive_writer.h"
#include "tools/korvelbase/record_container_writer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace korvel;

namespace {

constexpr int Samples = 2001;

// Sizes of a typical question: an RTF text, a small JPEG picture (random
// bytes, so they deflate no better than a real one) and a record.
QByteArray questionText(int t, int q) {
    QByteArray text = "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 ";
    for (int k = 0; k < 12; ++k)
        text += "\\'c2\\'ee\\'ef\\'f0\\'ee\\'f1 " + QByteArray::number(t * 1000 + q + k) + " ";
    return text + "}";
}

QByteArray picture(QRandomGenerator& random) {
    QByteArray bytes(2048, Qt::Uninitialized);
    for (char& c : bytes)
        c = char(random.bounded(256));
    return "\xFF\xD8\xFF\xE0" + bytes;
}

QByteArray record(int q) {
    RecordContainerWriter writer;
    writer.add("vop", "yes", QByteArray::number(q % 3 + 1));
    for (int n = 1; n <= 3; ++n)
        writer.add("vop", "ot" + QByteArray::number(n),
                   "Answer text number " + QByteArray::number(n));
    return cipherQuestionRecord(writer.bytes());
}

void writeBase(const QString& path, int tickets, int questions) {
    QRandomGenerator random(tickets * 7919 + questions);
    BaseArchiveWriter archive;
    RecordContainerWriter descriptor;
    descriptor.add("Base", "Name", "Bench")
        .add("Base", "Vop", QByteArray::number(questions))
        .add("Base", "Bil", QByteArray::number(tickets));
    archive.addEntry("base.dni", descriptor.bytes());
    archive.addEntry("Skin\\main.jpg", picture(random));
    for (int t = 1; t <= tickets; ++t) {
        for (int q = 1; q <= questions; ++q) {
            archive.addEntry(questionTextEntry(t, q), questionText(t, q));
            archive.addEntry(questionPictureEntry(t, q), picture(random));
            archive.addEntry(questionRecordEntry(t, q), record(q));
        }
    }
    archive.write(path);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Median milliseconds of one call.
double timeMedian(int samples, const std::function<void()>& call) {
    std::vector<double> times;
    times.reserve(size_t(samples));
    QElapsedTimer timer;
    for (int k = 0; k < samples; ++k) {
        timer.start();
        call();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return median(times);
}

struct Access {
    double text = 0;
    double picture = 0;
    double record = 0;
    double indexing = 0;
};

Access measureAccess(const QString& path, int tickets, int questions) {
    Access access;
    access.indexing = timeMedian(9, [&] {
        Archiver fresh;
        fresh.setFileName(path);
        fresh.ArchiveOpen();
        fresh.ArchiveClose();
    });
    Archiver archiver;
    QRandomGenerator random(42);
    const auto pick = [&](const std::function<void(int, int)>& read) {
        return timeMedian(
            Samples, [&] { read(random.bounded(tickets) + 1, random.bounded(questions) + 1); });
    };
    readArchiveEntry(archiver, path, "base.dni"); // the index, made once
    access.text =
        pick([&](int t, int q) { readArchiveEntry(archiver, path, questionTextEntry(t, q)); });
    access.picture =
        pick([&](int t, int q) { readArchiveEntry(archiver, path, questionPictureEntry(t, q)); });
    access.record = pick([&](int t, int q) { ReadQuestionRecord(archiver, path, t, q); });
    return access;
}

// A value in KiB from /proc/self/status, -1 where there is none.
qint64 statusKiB(const QByteArray& key) {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key + ':'))
            return line.mid(key.size() + 1).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// Run in a fresh process, where the heap has no free room left over from
// writing the bases: the growth of the peak resident size while indexing.
int indexOnly(const QString& path) {
    const qint64 before = statusKiB("VmRSS");
    Archiver archiver;
    archiver.setFileName(path);
    archiver.ArchiveOpen();
    archiver.ArchiveClose();
    const qint64 peak = statusKiB("VmHWM");
    std::printf("%lld %lld\n", qlonglong(archiver.indexCache().memoryUsed()),
                before < 0 || peak < 0 ? -1LL : qlonglong(peak - before) * 1024);
    return 0;
}

void report(const char* label, const Access& access) {
    std::printf("%-18s text %.4f ms, picture %.4f ms, record %.4f ms; indexing %.3f ms\n", label,
                access.text, access.picture, access.record, access.indexing);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--index-only")
        return indexOnly(QString::fromLocal8Bit(argv[2]));
    QTemporaryDir temporary;
    QString folder = temporary.path();
    const QStringList arguments = application.arguments();
    const qsizetype keep = arguments.indexOf("--keep");
    if (keep >= 0 && keep + 1 < arguments.size()) {
        folder = arguments[keep + 1];
        QDir().mkpath(folder);
    }
    const QDir dir(folder);
    const QString demo = dir.filePath("demo.zip");
    const QString large = dir.filePath("large.zip");

    QElapsedTimer timer;
    timer.start();
    writeBase(demo, 4, 5);
    writeBase(large, 216, 100);
    std::printf("bases written in %.1f s: demo %lld bytes, large %lld bytes\n",
                double(timer.elapsed()) / 1000, QFileInfo(demo).size(), QFileInfo(large).size());

    const Access small = measureAccess(demo, 4, 5);
    const Access big = measureAccess(large, 216, 100);
    report("demo (61 entries)", small);
    report("large (64,802)", big);
    const double worstRatio =
        std::max({big.text / small.text, big.picture / small.picture, big.record / small.record});
    const double worstLarge = std::max({big.text, big.picture, big.record});
    std::printf("large / demo per entry at most %.2fx (goal <= 2x), slowest large median %.4f ms "
                "(goal < 0.2 ms)\n",
                worstRatio, worstLarge);

    const QDir catalogue(dir.filePath("Base"));
    QDir().mkpath(catalogue.path());
    for (int k = 1; k <= 200; ++k)
        QFile::copy(demo, catalogue.filePath(QStringLiteral("demo%1.zip").arg(k)));
    Archiver listing;
    timer.start();
    const qsizetype listed = buildCatalogue(listing, catalogue.path()).size();
    const double firstBuild = double(timer.nsecsElapsed()) / 1e6;
    timer.start();
    buildCatalogue(listing, catalogue.path());
    const double secondBuild = double(timer.nsecsElapsed()) / 1e6;
    std::printf("catalogue of %lld bases: first build %.1f ms, again %.1f ms (goal < 300 ms)\n",
                qlonglong(listed), firstBuild, secondBuild);

    QProcess indexing;
    indexing.start(application.applicationFilePath(), {"--index-only", large});
    indexing.waitForFinished(-1);
    const QList<QByteArray> memory = indexing.readAllStandardOutput().trimmed().split(' ');
    if (memory.size() == 2)
        std::printf("large index holds %.2f MB, peak resident growth while indexing %.2f MB "
                    "(goal < 20 MB)\n",
                    memory[0].toDouble() / 1e6, memory[1].toDouble() / 1e6);
    return 0;
}
