// The results journal: how long recording an answer takes with
// synchronous=FULL (median and 99th percentile of 2000 answers, each with its
// presentation, as the program records them), and the item analysis and CSV
// exports over a generated journal of 100,000 exams of 20 answers, measured
// in-process and through korvelbase (wall time and peak memory of the tool).
// Goals: an answer under 20 ms at p99; stats under 2 s; export under 5 s;
// under 100 MB.
//
//   journal_bench [RUNS [FOLDER]]   (FOLDER keeps the journal, which a later run reuses)

#include "journal/item_analysis.h"
#include "journal/journal.h"
#include "journal/journal_csv.h"
#include "journal/journal_reader.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

using namespace korvel;

extern char** environ;

namespace {

constexpr int Answers = 2000;
constexpr int Tickets = 50;
constexpr int Questions = 20;

const QDateTime T0 = QDateTime(QDate(2026, 1, 1), QTime(8, 0), Qt::UTC);

// Seconds of CPU this process has used, to tell work from waiting on a busy machine.
double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(double(values.size()) * p))];
}

void recordingLatency(const QString& folder) {
    const QString path = folder + "/latency.sqlite";
    for (const char* suffix : {"", "-wal", "-shm"})
        QFile::remove(path + suffix);
    auto journal = Journal::open(path, "bench", "bench");
    RunStartRecord start;
    start.runId = "latency";
    start.kind = RecordedRunKind::Exam;
    start.baseFile = "b.zip";
    start.baseName = "B";
    start.baseSha256 = QString(64, u'0');
    start.tickets = {1};
    start.questionsPerTicket = Answers;
    start.startedAt = QDateTime::currentDateTimeUtc();
    journal->runStarted(start);
    std::vector<double> answer, presentation, clock;
    QElapsedTimer timer;
    for (int k = 1; k <= Answers && journal->recording(); ++k) {
        const QDateTime now = QDateTime::currentDateTimeUtc();
        timer.start();
        journal->questionPresented({"latency", 1, k, {1, 3}, now});
        presentation.push_back(double(timer.nsecsElapsed()) / 1e6);
        AnswerRecord a{"latency", k, 1, k, {1}, {1, 3}, false, now, now, 1200, k};
        timer.start();
        journal->answerJudged(a);
        answer.push_back(double(timer.nsecsElapsed()) / 1e6);
        timer.start();
        journal->examTimeUsed("latency", k + 1, now.addSecs(1));
        clock.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    if (!journal->recording()) {
        std::printf("recording stopped: %s\n", qPrintable(journal->problem()));
        return;
    }
    const auto print = [](const char* what, const std::vector<double>& times) {
        std::printf("%-22s median %6.2f ms  p99 %6.2f ms  max %6.2f ms\n", what,
                    percentile(times, 0.5), percentile(times, 0.99), percentile(times, 1.0));
    };
    std::printf("recording, %d calls each, synchronous=FULL:\n", Answers);
    print("  answerJudged", answer);
    print("  questionPresented", presentation);
    print("  examTimeUsed", clock);
}

// Exams of one base, each one ticket of 20 questions, answered right with a
// chance that rises with the examinee's ability and falls with the
// question's difficulty, written in one transaction.
bool generate(const QString& path, const QString& sha, int runs) {
    Journal::open(path, "bench", "bench"); // the schema
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "generator");
    db.setDatabaseName(path);
    if (!db.open())
        return false;
    QSqlQuery q(db);
    q.exec("PRAGMA synchronous = OFF");
    q.exec("BEGIN");
    QSqlQuery run(db), answer(db), presented(db);
    run.prepare("INSERT INTO runs (run_id, station, os_user, examinee, kind, base_file, base_name, "
                "base_sha256, tickets, questions_per_ticket, time_limit_s, started_at, "
                "exam_time_used_s, last_seen_at, ended_at, ended_by, total, right_count, "
                "wrong_count, unanswered, percent, grade, result_text) VALUES (?, 'station', "
                "'user', ?, 'exam', 'bench.zip', 'Bench', ?, ?, 20, 1200, ?, 600, ?, ?, "
                "'last_answer', 20, ?, ?, 0, ?, ?, 'Result')");
    answer.prepare("INSERT INTO answers VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    presented.prepare("INSERT INTO presented VALUES (?, ?, ?, ?, ?)");
    QRandomGenerator random(20261209);
    for (int r = 0; r < runs; ++r) {
        const QString id =
            QStringLiteral("%1-0000-4000-8000-000000000000").arg(qint64(r), 8, 16, QChar(u'0'));
        const int ticket = 1 + int(random.bounded(Tickets));
        const double ability = random.generateDouble();
        const QDateTime started = T0.addSecs(qint64(r) * 300);
        int right = 0;
        for (int qn = 1; qn <= Questions; ++qn) {
            const double difficulty = double((ticket * 7 + qn * 13) % 20) / 20;
            const bool correct =
                random.generateDouble() < 0.3 + 0.6 * ability - 0.3 * difficulty + 0.2;
            const int rightAnswer = 1 + (qn % 4);
            const int chosen = correct ? rightAnswer : 1 + int(random.bounded(5));
            right += correct ? 1 : 0;
            const QString shown = started.addSecs(qn * 30).toString(Qt::ISODateWithMs);
            const QString answered = started.addSecs(qn * 30 + 20).toString(Qt::ISODateWithMs);
            for (const QVariant& v : {QVariant(id), QVariant(ticket), QVariant(qn),
                                      QVariant(QString::number(rightAnswer)), QVariant(shown)})
                presented.addBindValue(v);
            for (const QVariant& v :
                 {QVariant(id), QVariant(qn), QVariant(ticket), QVariant(qn),
                  QVariant(QString::number(correct ? rightAnswer : chosen)),
                  QVariant(QString::number(rightAnswer)), QVariant(correct ? 1 : 0),
                  QVariant(shown), QVariant(answered), QVariant(20000), QVariant(qn * 30 + 20)})
                answer.addBindValue(v);
            if (!presented.exec() || !answer.exec()) {
                std::printf("%s\n", qPrintable(answer.lastError().text()));
                return false;
            }
        }
        const int percent = right * 100 / Questions;
        const QString ended = started.addSecs(620).toString(Qt::ISODateWithMs);
        for (const QVariant& v :
             {QVariant(id), QVariant(QStringLiteral("Examinee %1").arg(r % 997)), QVariant(sha),
              QVariant(QString::number(ticket)), QVariant(started.toString(Qt::ISODateWithMs)),
              QVariant(ended), QVariant(ended), QVariant(right), QVariant(Questions - right),
              QVariant(percent),
              QVariant(percent > 80   ? 5
                       : percent > 60 ? 4
                       : percent > 50 ? 3
                                      : 2)})
            run.addBindValue(v);
        if (!run.exec()) {
            std::printf("%s\n", qPrintable(run.lastError().text()));
            return false;
        }
    }
    q.exec("COMMIT");
    q.exec("PRAGMA wal_checkpoint(TRUNCATE)");
    return true;
}

// The tool as a user runs it: wall time and peak resident memory.
void throughTheTool(const char* what, QStringList arguments) {
    std::vector<QByteArray> bytes;
    bytes.push_back(KORVELBASE_PATH);
    for (const QString& a : arguments)
        bytes.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::printf("cannot start %s\n", argv[0]);
        return;
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    posix_spawn_file_actions_destroy(&actions);
    const double cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    std::printf("  korvelbase journal %-16s %7.2f s (CPU %.2f s)  peak %6.1f MB  exit %d\n", what,
                double(timer.nsecsElapsed()) / 1e9, cpu, double(usage.ru_maxrss) / 1024,
                WIFEXITED(status) ? WEXITSTATUS(status) : -1);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 100000;
    QTemporaryDir temporary;
    const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : temporary.path();
    QDir().mkpath(folder);

    recordingLatency(folder);

    const QString basePath = folder + "/bench.zip";
    QFile base(basePath);
    base.open(QIODevice::WriteOnly);
    base.write("a base stands for its SHA-256 here");
    base.close();
    const QString sha = QString::fromLatin1(
        QCryptographicHash::hash("a base stands for its SHA-256 here", QCryptographicHash::Sha256)
            .toHex());
    const QString path = folder + "/journal.sqlite";
    QElapsedTimer timer;
    if (QFile::exists(path)) {
        std::printf("reusing %s\n", qPrintable(path));
    } else {
        timer.start();
        if (!generate(path, sha, runs))
            return 1;
        QSqlDatabase::removeDatabase("generator");
        std::printf("generated %d runs x %d answers in %.1f s, %.1f MB\n", runs, Questions,
                    double(timer.elapsed()) / 1000, double(QFile(path).size()) / 1e6);
    }

    QString error;
    std::unique_ptr<JournalReader> reader = JournalReader::open(path, error);
    if (!reader) {
        std::printf("%s\n", qPrintable(error));
        return 1;
    }
    std::printf("in-process:\n");
    timer.start();
    double cpu = cpuSeconds();
    const std::optional<ItemAnalysis> analysis =
        analyseItems(reader->database(), sha, RecordedRunKind::Exam, error);
    std::printf("  item analysis          %7.2f s (CPU %.2f s)  %d runs, %lld questions\n",
                double(timer.elapsed()) / 1000, cpuSeconds() - cpu, analysis ? analysis->runs : -1,
                analysis ? qlonglong(analysis->questions.size()) : -1LL);
    for (const auto& [name, rows] :
         {std::pair{"runs", CsvRows::Runs}, std::pair{"answers", CsvRows::Answers}}) {
        QFile out(folder + QStringLiteral("/%1.csv").arg(name));
        out.open(QIODevice::WriteOnly);
        timer.start();
        cpu = cpuSeconds();
        writeCsv(*reader, RunFilter(), rows, out, error);
        std::printf("  CSV of the %-10s %7.2f s (CPU %.2f s)  %.1f MB\n", name,
                    double(timer.elapsed()) / 1000, cpuSeconds() - cpu, double(out.size()) / 1e6);
    }
    reader.reset();

    std::printf("through the tool:\n");
    throughTheTool("stats", {"journal", "stats", "--base", basePath, "--json", "--journal", path});
    throughTheTool("export",
                   {"journal", "export", "--csv", folder + "/tool-runs.csv", "--journal", path});
    throughTheTool("export --answers", {"journal", "export", "--csv", folder + "/tool-answers.csv",
                                        "--answers", "--journal", path});
    throughTheTool("list", {"journal", "list", "--journal", path});
    return 0;
}
