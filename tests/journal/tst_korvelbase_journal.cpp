#include "basestore/base_archive.h"
#include "journal/journal.h"
#include "report/report_composition.h"
#include "report/report_saving.h"
#include "tests/support/test_base_builder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

using namespace korvel;

namespace {

struct Run {
    int code = -1;
    QByteArray out;
    QByteArray err;
};

Run korvelbase(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(KORVELBASE_PATH), arguments);
    Run run;
    if (!process.waitForFinished(60000))
        return run;
    run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QDateTime T0 = QDateTime(QDate(2026, 12, 9), QTime(19, 0), Qt::UTC);
const QString Exam = QStringLiteral("ab12c0de-0000-4000-8000-000000000001");
const QString Preparation = QStringLiteral("ab34c0de-0000-4000-8000-000000000002");
const QString Errors = QStringLiteral("cd56c0de-0000-4000-8000-000000000003");
const QString Examinee = QStringLiteral("Иванов, \"Иван\"");

void answer(Journal& journal, const QString& id, int seq, int t, int q, QList<int> chosen,
            QList<int> right, QDateTime at) {
    journal.questionPresented({id, t, q, right, at.addSecs(-5)});
    AnswerRecord a;
    a.runId = id;
    a.seq = seq;
    a.ticket = t;
    a.question = q;
    a.chosen = chosen;
    a.right = right;
    a.correct = chosen == right;
    a.shownAt = at.addSecs(-5);
    a.answeredAt = at;
    a.msOnQuestion = 5000;
    journal.answerJudged(a);
}

} // namespace

// The tool against a journal that a writer holds open, as the program would.
class KorvelbaseJournalTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString journalPath_;
    QString basePath_;
    std::unique_ptr<Journal> writer_;

    Run journal(QStringList arguments) {
        return korvelbase(QStringList{"journal"} + arguments +
                          QStringList{"--journal", journalPath_});
    }

private slots:
    void initTestCase() {
        basePath_ = dir_.filePath("demo.zip");
        standardBase(2, 3).write(basePath_);
        QFile base(basePath_);
        QVERIFY(base.open(QIODevice::ReadOnly));
        const QString sha = QString::fromLatin1(
            QCryptographicHash::hash(base.readAll(), QCryptographicHash::Sha256).toHex());
        journalPath_ = dir_.filePath("journal.sqlite");
        writer_ = Journal::open(journalPath_, "station", "user");
        QVERIFY(writer_->recording());

        RunStartRecord start;
        start.runId = Exam;
        start.kind = RecordedRunKind::Exam;
        start.examinee = Examinee;
        start.baseFile = "demo.zip";
        start.baseName = "Test base";
        start.baseSha256 = sha;
        start.tickets = {1, 2};
        start.questionsPerTicket = 3;
        start.timeLimitSeconds = 60;
        start.startedAt = T0;
        writer_->runStarted(start);
        answer(*writer_, Exam, 1, 1, 1, {1}, {1}, T0.addSecs(10));
        answer(*writer_, Exam, 2, 1, 2, {3}, {2}, T0.addSecs(20));
        answer(*writer_, Exam, 3, 1, 3, {3}, {3}, T0.addSecs(30));
        writer_->questionPresented({Exam, 2, 1, {1}, T0.addSecs(31)});
        writer_->runEnded({Exam, T0.addSecs(60), RunEnding::TimeLimit, 6, 2, 1, 3, 33, 2,
                           QStringLiteral("Неудовлетворительно  2")});

        start.runId = Preparation;
        start.kind = RecordedRunKind::Preparation;
        start.examinee.clear();
        start.tickets = {2};
        start.timeLimitSeconds.reset();
        start.startedAt = T0.addSecs(3600);
        writer_->runStarted(start);
        answer(*writer_, Preparation, 1, 2, 1, {1}, {1}, T0.addSecs(3610));
        writer_->runEnded({Preparation, T0.addSecs(3620), RunEnding::LastAnswer, 1, 1, 0, 0, 100, 5,
                           QStringLiteral("Отлично  5")});

        start.runId = Errors;
        start.kind = RecordedRunKind::WorkOnErrors;
        start.parentRunId = Exam;
        start.tickets = {1};
        start.startedAt = T0.addSecs(7200);
        writer_->runStarted(start);
        writer_->runResumed(Errors, T0.addSecs(7200), T0.addSecs(7300));
        QVERIFY(writer_->recording());
    }

    void list_data() {
        QTest::addColumn<QStringList>("filters");
        QTest::addColumn<QStringList>("runs"); // first 8 characters, newest first
        QTest::newRow("every run")
            << QStringList() << QStringList{"cd56c0de", "ab34c0de", "ab12c0de"};
        QTest::newRow("exams") << QStringList{"--kind", "exam"} << QStringList{"ab12c0de"};
        QTest::newRow("examinee in another letter case")
            << QStringList{"--examinee", "иванов"} << QStringList{"ab12c0de"};
        QTest::newRow("base by its Name")
            << QStringList{"--base", "TEST"} << QStringList{"cd56c0de", "ab34c0de", "ab12c0de"};
        QTest::newRow("another base") << QStringList{"--base", "other.zip"} << QStringList();
        QTest::newRow("since a day") << QStringList{"--since", "2026-12-10"} << QStringList();
        QTest::newRow("since a moment") << QStringList{"--since", "2026-12-09T19:30:00Z"}
                                        << QStringList{"cd56c0de", "ab34c0de"};
    }
    void list() {
        QFETCH(QStringList, filters);
        QFETCH(QStringList, runs);
        const Run run = journal(QStringList{"list"} + filters);
        QCOMPARE(run.code, 0);
        QStringList lines = QString::fromUtf8(run.out).split('\n', Qt::SkipEmptyParts);
        QVERIFY(lines.takeFirst().startsWith("RUN"));
        QCOMPARE(lines.takeLast(), QStringLiteral("%1 run(s)").arg(runs.size()));
        QStringList listed;
        for (const QString& line : lines)
            listed << line.left(8);
        QCOMPARE(listed, runs);
    }

    void showByPrefix() {
        const Run run = journal({"show", "ab1"});
        QCOMPARE(run.code, 0);
        const QString text = QString::fromUtf8(run.out);
        QVERIFY(text.contains(Exam));
        QVERIFY(text.contains(Examinee));
        QVERIFY(text.contains("time_limit"));
        QVERIFY(text.contains("3 answer(s); shown but not answered (ticket/question): 2/1"));
        QVERIFY(text.contains(QStringLiteral("Неудовлетворительно  2")));
    }

    void runsThatAreNotOne_data() {
        QTest::addColumn<QString>("run");
        QTest::addColumn<QString>("message");
        QTest::newRow("two runs start so") << "ab"
                                           << "several runs";
        QTest::newRow("no run starts so") << "ff"
                                          << "no run ff";
        QTest::newRow("a LIKE pattern is not a prefix") << "%"
                                                        << "no run %";
    }
    void runsThatAreNotOne() {
        QFETCH(QString, run);
        QFETCH(QString, message);
        const Run result = journal({"show", run});
        QCOMPARE(result.code, 1);
        QVERIFY2(result.err.contains(message.toUtf8()), result.err.constData());
    }

    void csvOfRunsAndAnswers() {
        const QString runsPath = dir_.filePath("runs.csv");
        QCOMPARE(journal({"export", "--csv", runsPath}).code, 0);
        const QByteArray runs = readFile(runsPath);
        QVERIFY(runs.startsWith("\xEF\xBB\xBFrun_id,station,os_user,examinee,kind,"));
        const QList<QByteArray> lines = runs.split('\n');
        QCOMPARE(lines.size(), 5); // header, three runs, and the empty rest after the last CRLF
        for (int k = 0; k < 4; ++k)
            QVERIFY(lines.at(k).endsWith('\r'));
        QVERIFY(
            lines.at(3).startsWith(Exam.toUtf8() + ",station,user,\"Иванов, \"\"Иван\"\"\",exam,"));
        QVERIFY(lines.at(3).contains(",\"1;2\",3,60,2026-12-09T19:00:00.000Z,"));
        QVERIFY(lines.at(1).contains(",work_on_errors,"));
        QVERIFY(lines.at(1).contains("," + Exam.toUtf8() + ",")); // parent_run_id

        const Run answers = journal({"export", "--csv", "-", "--answers", "--kind", "exam"});
        QCOMPARE(answers.code, 0);
        const QList<QByteArray> rows = answers.out.split('\n');
        QCOMPARE(rows.first(),
                 "\xEF\xBB\xBFrun_id,seq,ticket,question,chosen,right,correct,shown_at,"
                 "answered_at,ms_on_question,elapsed_s\r");
        QCOMPARE(rows.size(), 5);
        QCOMPARE(rows.at(2), Exam.toUtf8() + ",2,1,2,3,2,0,2026-12-09T19:00:15.000Z,"
                                             "2026-12-09T19:00:20.000Z,5000,0\r");
    }

    void stats() {
        const Run run = journal({"stats", "--base", basePath_, "--json"});
        QCOMPARE(run.code, 0);
        const QJsonObject json = QJsonDocument::fromJson(run.out).object();
        QCOMPARE(json["runs"].toInt(), 1); // the exam; preparation and work on errors do not count
        const QJsonArray questions = json["questions"].toArray();
        QCOMPARE(questions.size(), 4);
        QCOMPARE(questions.at(1)["right"].toInt(), 0);
        QCOMPARE(questions.at(1)["choices"].toArray(), (QJsonArray{0, 0, 1, 0, 0}));
        QCOMPARE(questions.at(3)["presented"].toInt(), 1);
        QCOMPARE(questions.at(3)["answered"].toInt(), 0);
        QVERIFY(questions.at(3)["facility"].isNull());
        QCOMPARE(json["tickets"].toArray().at(0)["runs"].toInt(), 1);

        const Run preparation = journal({"stats", "--base", basePath_, "--kind", "preparation"});
        QCOMPARE(preparation.code, 0);
        QVERIFY(preparation.out.contains("1 finished preparation run(s)"));
        QVERIFY(preparation.out.contains("too_easy"));
    }

    // The report of the results page, composed again from the journal.
    void reportOfAPastRun() {
        QTextDocument document;
        ReportInput input;
        input.examineeName = Examinee;
        input.chosenTickets = {1, 2};
        input.questionsPerTicket = 3;
        input.remain = 3;
        input.green = 2;
        input.red = 1;
        input.analizStr = QStringLiteral("Неудовлетворительно  2");
        input.percent = 33;
        const QMap<std::pair<int, int>, QByteArray> chosen = {
            {{1, 1}, QByteArray("\1\0\0\0\0", 5)},
            {{1, 2}, QByteArray("\0\0\1\0\0", 5)},
            {{1, 3}, QByteArray("\0\0\1\0\0", 5)}};
        const QMap<std::pair<int, int>, QByteArray> right = {{{1, 1}, QByteArray("\1\0\0\0\0", 5)},
                                                             {{1, 2}, QByteArray("\0\1\0\0\0", 5)},
                                                             {{1, 3}, QByteArray("\0\0\1\0\0", 5)},
                                                             {{2, 1}, QByteArray("\1\0\0\0\0", 5)}};
        input.chosenCell = [&](int t, int q) { return chosen.value({t, q}, QByteArray(5, 0)); };
        input.rightCell = [&](int t, int q) { return right.value({t, q}, QByteArray(5, 0)); };
        input.basePath = basePath_;
        Archiver archiver;
        input.archiver = &archiver;
        composeReport(document, input, {});
        const QString expected = dir_.filePath("expected.rtf");
        QCOMPARE(saveReport(document, expected), QString());

        const QString written = dir_.filePath("Otchet.RTF");
        const Run run = journal({"report", "ab12", "--out", written, "--base", basePath_});
        QCOMPARE(run.code, 0);
        QCOMPARE(readFile(written), readFile(expected));
        QVERIFY(readFile(written).contains("Question 1.2"));
    }

    void reportNeedsTheSameBaseAndAnEndedRun() {
        const QString changed = dir_.filePath("changed.zip");
        standardBase(2, 4).write(changed);
        const QString out = dir_.filePath("never.rtf");
        const Run otherBase = journal({"report", Exam, "--out", out, "--base", changed});
        QCOMPARE(otherBase.code, 1);
        QVERIFY(otherBase.err.contains("is not the base run"));
        const Run notEnded = journal({"report", "cd", "--out", out, "--base", basePath_});
        QCOMPARE(notEnded.code, 1);
        QVERIFY(notEnded.err.contains("has not ended"));
        // Beside the tool is the demo base of the build, or none at all.
        const Run noBase = journal({"report", Exam, "--out", out});
        QCOMPARE(noBase.code, 1);
        QVERIFY2(noBase.err.contains("demo.zip"), noBase.err.constData());
        QVERIFY(!QFile::exists(out));
    }

    void journalsThatCannotBeRead() {
        const QString missing = dir_.filePath("none/journal.sqlite");
        const Run absent = korvelbase({"journal", "list", "--journal", missing});
        QCOMPARE(absent.code, 1);
        QVERIFY(absent.err.contains("no journal at"));
        QVERIFY(!QFile::exists(missing));

        QTemporaryDir folder;
        const QString garbage = folder.filePath("journal.sqlite");
        QFile file(garbage);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(5000, 'x'));
        file.close();
        const Run damaged = korvelbase({"journal", "show", "ab", "--journal", garbage});
        QCOMPARE(damaged.code, 1);
        QVERIFY2(damaged.err.contains("damaged or not a results journal"), damaged.err.constData());
        // The tool only reads: nothing is moved aside or added.
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"journal.sqlite"});
        QCOMPARE(readFile(garbage), QByteArray(5000, 'x'));
    }

    // The README's example queries, in the sqlite3 program, on this journal.
    void readmeQueries() {
        QFile readme(QStringLiteral(KORVEL_README));
        QVERIFY(readme.open(QIODevice::ReadOnly));
        QString text = QString::fromUtf8(readme.readAll());
        text = text.mid(text.indexOf("## Results journal"));
        text = text.left(text.indexOf("\n## ", 5));
        QStringList queries;
        for (qsizetype from = text.indexOf("```sql\n"); from >= 0;
             from = text.indexOf("```sql\n", from + 1)) {
            const qsizetype start = from + 7;
            queries << text.mid(start, text.indexOf("```", start) - start);
        }
        QVERIFY(queries.size() >= 5);
        for (const QString& query : queries) {
            QProcess sqlite;
            sqlite.start("sqlite3", {"-readonly", "-bail", journalPath_});
            QVERIFY2(sqlite.waitForStarted(), "the sqlite3 program is not installed");
            sqlite.write(query.toUtf8());
            sqlite.closeWriteChannel();
            QVERIFY(sqlite.waitForFinished(30000));
            const QByteArray err = sqlite.readAllStandardError();
            QVERIFY2(sqlite.exitCode() == 0 && err.isEmpty(), qPrintable(query + err));
            QVERIFY2(!sqlite.readAllStandardOutput().trimmed().isEmpty(), qPrintable(query));
        }
    }

    void usage_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("no subcommand") << QStringList{"journal"};
        QTest::newRow("unknown subcommand") << QStringList{"journal", "frobnicate"};
        QTest::newRow("show without a run") << QStringList{"journal", "show"};
        QTest::newRow("list with a run") << QStringList{"journal", "list", "x"};
        QTest::newRow("unknown option") << QStringList{"journal", "list", "--json"};
        QTest::newRow("unknown kind") << QStringList{"journal", "list", "--kind", "quiz"};
        QTest::newRow("a date that is none") << QStringList{"journal", "list", "--since", "May"};
        QTest::newRow("export without a file") << QStringList{"journal", "export"};
        QTest::newRow("stats without a base") << QStringList{"journal", "stats"};
        QTest::newRow("stats of work on errors")
            << QStringList{"journal", "stats", "--base", "b.zip", "--kind", "work_on_errors"};
        QTest::newRow("report without --out") << QStringList{"journal", "report", "ab"};
        QTest::newRow("--journal without a file") << QStringList{"journal", "list", "--journal"};
    }
    void usage() {
        QFETCH(QStringList, arguments);
        const Run run = korvelbase(arguments);
        QCOMPARE(run.code, 2);
        QVERIFY(run.err.contains("Usage: korvelbase journal"));
    }
};

QTEST_MAIN(KorvelbaseJournalTest)
#include "tst_korvelbase_journal.moc"
