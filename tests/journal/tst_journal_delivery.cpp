#include "delivery_fixture.h"
#include "journal/item_analysis.h"
#include "journal/journal_csv.h"
#include "journal/journal_delivery.h"
#include "journal/journal_reader.h"
#include "journal/journal_sender.h"

#include <QBuffer>
#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace korvel;
using namespace korvel::test;

namespace {

const QList<const JournalTable*> Tables = {&wholeRunsTable(), &answersTable(), &presentedTable(),
                                           &interruptionsTable()};

struct Tool {
    int code = -1;
    QString out;
};

// What a reader tells of every run, whole, as text to compare.
QStringList everything(const JournalReader& reader) {
    QStringList lines;
    QString error;
    QStringList ids;
    reader.forEachRun(
        {},
        [&](const StoredRun& run) {
            ids << run.start.runId;
            return true;
        },
        error);
    for (const QString& id : ids) {
        const std::optional<StoredRun> run = reader.run(id, error);
        if (!run)
            return {QStringLiteral("cannot read ") + id + u' ' + error};
        const RunStartRecord& s = run->start;
        lines << QStringList{s.runId,
                             run->station,
                             s.examinee,
                             s.baseName,
                             s.startedAt.toString(Qt::ISODateWithMs),
                             QString::number(s.timeLimitSeconds.value_or(-1)),
                             run->end ? run->end->resultText : QStringLiteral("running"),
                             QString::number(run->end ? run->end->grade.value_or(0) : -1),
                             run->lastSeenAt.toString(Qt::ISODateWithMs)}
                     .join(u'|');
        for (const StoredAnswer& a : run->answers)
            lines << QStringLiteral("  answer %1 %2.%3 %4/%5 %6 %7")
                         .arg(a.seq)
                         .arg(a.ticket)
                         .arg(a.question)
                         .arg(QString::number(a.chosen.size()), QString::number(a.right.size()),
                              a.answeredAt.toString(Qt::ISODateWithMs))
                         .arg(a.msOnQuestion);
        for (const StoredPresentation& p : run->presented)
            lines << QStringLiteral("  shown %1.%2 %3")
                         .arg(p.ticket)
                         .arg(p.question)
                         .arg(p.firstShownAt.toString(Qt::ISODateWithMs));
        for (const StoredInterruption& i : run->interruptions)
            lines << QStringLiteral("  interrupted %1 for %2 s")
                         .arg(i.interruptedAt.toString(Qt::ISODateWithMs))
                         .arg(i.seconds);
    }
    return lines;
}

QByteArray csv(const JournalReader& reader, CsvRows rows, const RunFilter& filter = {}) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QString error;
    if (!writeCsv(reader, filter, rows, buffer, error))
        return error.toUtf8();
    return buffer.data();
}

QByteArray csvBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray analysis(const JournalReader& reader) {
    QString error;
    const std::optional<ItemAnalysis> items =
        analyseItems(reader.database(), QString(64, u'c'), RecordedRunKind::Exam, error);
    return items ? QJsonDocument(itemAnalysisJson(*items)).toJson() : error.toUtf8();
}

Tool korvelbase(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(KORVELBASE_PATH), arguments);
    Tool tool;
    if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit)
        tool.code = process.exitCode();
    tool.out = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
    return tool;
}

} // namespace

// The journals in memory where the system has a tmpfs: each of their
// thousands of commits waits for the disk otherwise.
QString scratchFolder() {
    return QFileInfo(QStringLiteral("/dev/shm")).isWritable()
               ? QStringLiteral("/dev/shm/tst_journal_delivery-XXXXXX")
               : QDir::tempPath() + QStringLiteral("/tst_journal_delivery-XXXXXX");
}

class JournalDeliveryTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_{scratchFolder()};
    PostgresServer server_;
    int file_ = 0;

    QString freshJournal() {
        return dir_.filePath(QStringLiteral("station%1.sqlite").arg(++file_));
    }
    QString station() const {
        return server_.connection(QStringLiteral("station1"), StationPassword);
    }

    // Every row of the local journal is on the server, each once, and the
    // server holds nothing else.
    void verifyServerHolds(const QString& journalPath) {
        Connection local(QStringLiteral("QSQLITE"), journalPath);
        Connection remote(QStringLiteral("QPSQL"), server_.adminConnection());
        QVERIFY(remote.db().isOpen());
        for (const JournalTable* table : Tables)
            QCOMPARE(tableRows(remote.db(), *table), tableRows(local.db(), *table));
    }

    void emptyServer() {
        QString problem;
        QVERIFY2(server_.admin(QStringLiteral("TRUNCATE runs, answers, presented, interruptions"),
                               problem),
                 qPrintable(problem));
    }

    qint64 waitingRuns(const QString& journalPath) {
        Connection local(QStringLiteral("QSQLITE"), journalPath);
        QSqlQuery query(local.db());
        query.exec(QStringLiteral("SELECT count(*) FROM delivery WHERE end_sent = 0"));
        return query.next() ? query.value(0).toLongLong() : -1;
    }

private slots:
    void initTestCase() {
        const QString missing = PostgresServer::unavailable();
        if (!missing.isEmpty())
            QSKIP(qPrintable(missing));
        QString problem;
        QVERIFY2(prepareServer(server_, problem), qPrintable(problem));
    }

    // A case that failed half-way may have left the server down.
    void init() {
        QString problem;
        QVERIFY2(server_.start(problem), qPrintable(problem));
        emptyServer();
    }

    // Runs in every state: ended, running, resumed after a crash, and one
    // found crashed; then the running one goes on and ends, and everything
    // is sent again as if the marks had been lost: nothing doubles.
    void runsArriveAsRecorded() {
        const QString path = freshJournal();
        auto journal = Journal::open(path, QStringLiteral("ws-07"), QStringLiteral("ivanov"));
        QVERIFY(journal->recording());
        recordRun(*journal, 20, true, 1);
        const QString running = recordRun(*journal, 5, false, 2);
        const QString crashed = recordRun(*journal, 3, false, 3);
        journal->runResumed(running, QDateTime::currentDateTimeUtc().addSecs(-60),
                            QDateTime::currentDateTimeUtc());
        RunEndRecord interrupted;
        interrupted.runId = crashed;
        interrupted.endedAt = QDateTime::currentDateTimeUtc();
        interrupted.endedBy = RunEnding::Interrupted;
        interrupted.total = 4;
        interrupted.rightCount = 2;
        interrupted.wrongCount = 1;
        interrupted.unanswered = 1;
        interrupted.percent = 50;
        journal->runEnded(interrupted);

        JournalDelivery delivery(path, station());
        DeliveryProgress progress;
        QVERIFY2(delivery.deliverAll(2, progress), qPrintable(delivery.problem()));
        QCOMPARE(progress.runs, 3);
        QCOMPARE(progress.answers, 28);
        verifyServerHolds(path);

        // The running run goes on: only what is new is sent.
        AnswerRecord sixth;
        sixth.runId = running;
        sixth.seq = 6;
        sixth.ticket = 2;
        sixth.question = 3;
        sixth.chosen = sixth.right = {4};
        sixth.correct = true;
        sixth.answeredAt = QDateTime::currentDateTimeUtc();
        journal->questionPresented({running, 2, 3, {4}, sixth.answeredAt.addSecs(-3)});
        journal->answerJudged(sixth);
        RunEndRecord end;
        end.runId = running;
        end.endedAt = sixth.answeredAt.addSecs(1);
        end.endedBy = RunEnding::MainMenu;
        end.total = 6;
        end.rightCount = 6;
        journal->runEnded(end);
        QVERIFY(delivery.deliverAll(50, progress));
        QCOMPARE(progress.runs, 1);
        QCOMPARE(progress.answers, 1);
        verifyServerHolds(path);

        // The marks lost (a crash between the server's commit and the
        // file's): all of it goes again and is stored once.
        {
            Connection local(QStringLiteral("QSQLITE"), path);
            QVERIFY(QSqlQuery(local.db())
                        .exec(QStringLiteral(
                            "UPDATE delivery SET run_sent = 0, answers_sent = 0, "
                            "presented_sent = 0, interruptions_sent = 0, end_sent = 0")));
        }
        QVERIFY2(delivery.deliverAll(50, progress), qPrintable(delivery.problem()));
        QCOMPARE(progress.runs, 3);
        verifyServerHolds(path);
        QCOMPARE(waitingRuns(path), 0);
    }

    // The sender on its thread through three kinds of outage. Rows recorded
    // before and during each one arrive once each when the server is back.
    void outagesLoseNothing_data() {
        QTest::addColumn<QString>("outage");
        QTest::newRow("server stopped before the runs") << "stopped";
        QTest::newRow("server killed during a batch") << "killed";
        QTest::newRow("wrong port, then mended") << "wrong port";
    }
    void outagesLoseNothing() {
        QFETCH(QString, outage);
        const QString path = freshJournal();
        auto journal = Journal::open(path, QStringLiteral("ws-08"), QStringLiteral("petrov"));
        const DeliverySchedule quick{20, 20, 200, 5};
        QString problem;
        const int runs = outage == QLatin1String("killed") ? 300 : 30;
        if (outage == QLatin1String("stopped")) {
            QVERIFY(server_.stop());
            {
                JournalSender sender(path, station(), quick);
                for (int k = 0; k < runs; ++k) {
                    recordRun(*journal, 20, true, k);
                    sender.wake();
                }
                QTRY_VERIFY_WITH_TIMEOUT(!sender.problem().isEmpty(), 10000);
                QVERIFY2(sender.problem().contains(QLatin1String("cannot connect")),
                         qPrintable(sender.problem()));
                QCOMPARE(waitingRuns(path), runs);
                QVERIFY2(server_.start(problem), qPrintable(problem));
                QTRY_COMPARE_WITH_TIMEOUT(waitingRuns(path), 0, 30000);
                QVERIFY(sender.problem().isEmpty());
            }
        } else if (outage == QLatin1String("killed")) {
            for (int k = 0; k < runs; ++k)
                recordRun(*journal, 20, true, k);
            JournalSender sender(path, station(), quick);
            QTRY_VERIFY_WITH_TIMEOUT(server_.count(QStringLiteral("SELECT count(*) FROM runs")) > 0,
                                     20000);
            server_.kill();
            QTRY_VERIFY_WITH_TIMEOUT(!sender.problem().isEmpty(), 10000);
            QVERIFY(waitingRuns(path) > 0);
            QVERIFY2(server_.start(problem), qPrintable(problem));
            QTRY_COMPARE_WITH_TIMEOUT(waitingRuns(path), 0, 60000);
        } else {
            for (int k = 0; k < runs / 2; ++k)
                recordRun(*journal, 20, true, k);
            QString wrong = station();
            wrong.replace(QStringLiteral("port=%1").arg(server_.port()), QStringLiteral("port=1"));
            {
                JournalSender sender(path, wrong, quick);
                for (int k = runs / 2; k < runs; ++k)
                    recordRun(*journal, 20, k % 2 == 1, k);
                QTRY_VERIFY_WITH_TIMEOUT(!sender.problem().isEmpty(), 10000);
            }
            QCOMPARE(waitingRuns(path), runs);
            JournalSender mended(path, station(), quick);
            // The runs left running are delivered as far as they went.
            const int running = (runs - runs / 2) / 2;
            QTRY_COMPARE_WITH_TIMEOUT(waitingRuns(path), running, 30000);
            QTRY_COMPARE_WITH_TIMEOUT(server_.count(QStringLiteral("SELECT count(*) FROM answers")),
                                      qint64(runs) * 20, 30000);
        }
        verifyServerHolds(path);
        QCOMPARE(server_.count(QStringLiteral("SELECT count(*) FROM answers")), qint64(runs) * 20);
    }

    // What each role may do, asked of the server itself.
    void rolesAreEnforced() {
        const QString path = freshJournal();
        auto journal = Journal::open(path, QStringLiteral("ws-09"), QStringLiteral("sidorov"));
        const QString ended = recordRun(*journal, 2, true, 1);
        JournalDelivery delivery(path, station());
        DeliveryProgress progress;
        QVERIFY2(delivery.deliverAll(10, progress), qPrintable(delivery.problem()));

        Connection station(QStringLiteral("QPSQL"), this->station());
        Connection viewer(QStringLiteral("QPSQL"),
                          server_.connection(QStringLiteral("viewer1"), ViewerPassword));
        QVERIFY(station.db().isOpen() && viewer.db().isOpen());
        const auto refused = [](QSqlDatabase& db, const QString& statement) {
            QSqlQuery query(db);
            return !query.exec(statement) &&
                   query.lastError().nativeErrorCode() == QLatin1String("42501");
        };
        for (const char* table : {"runs", "answers", "presented", "interruptions"}) {
            const QString t = QLatin1String(table);
            for (const QString& statement :
                 {QStringLiteral("SELECT count(*) FROM %1"),
                  QStringLiteral("UPDATE %1 SET run_id = run_id"), QStringLiteral("DELETE FROM %1"),
                  QStringLiteral("TRUNCATE %1")})
                QVERIFY2(refused(station.db(), statement.arg(t)), qPrintable(statement.arg(t)));
            QVERIFY2(
                refused(viewer.db(), QStringLiteral("INSERT INTO %1 (run_id) VALUES ('x')").arg(t)),
                table);
            QVERIFY(QSqlQuery(viewer.db()).exec(QStringLiteral("SELECT count(*) FROM %1").arg(t)));
        }
        // A station cannot write an end with the start, nor end a run twice.
        QVERIFY(
            refused(station.db(),
                    QStringLiteral("INSERT INTO runs (run_id, station, os_user, kind, base_file, "
                                   "base_name, base_sha256, tickets, questions_per_ticket, "
                                   "started_at, last_seen_at, grade) VALUES ('forged', 's', "
                                   "'u', 'exam', 'b', 'b', 'h', '1', 1, 't', 't', 5)")));
        QSqlQuery again(station.db());
        QVERIFY(
            again.exec(QStringLiteral("SELECT journal_end_run('%1', '2030-01-01T00:00:00.000Z', "
                                      "'last_answer', 2, 2, 0, 0, 100, 5, 'forged', 0, NULL)")
                           .arg(ended)));
        QVERIFY(again.next());
        QCOMPARE(again.value(0).toBool(), false);
        QCOMPARE(server_.count(QStringLiteral("SELECT count(*) FROM runs WHERE grade = 5")), 0);
        verifyServerHolds(path);
    }

    // Servers the sender cannot use: status says why in one line, the runs
    // wait, and once the setting is right they all arrive.
    void badServersKeepRunsWaiting_data() {
        QTest::addColumn<QString>("connection");
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<QString>("expected");
        const QString station = this->station();
        QTest::newRow("does not parse")
            << "host=127.0.0.1 port"
            << ""
            << "Last error: .*does not parse: missing \"=\" after \"port\"";
        QTest::newRow("wrong schema version")
            << station << "UPDATE journal_version SET version = 99"
            << "Last error: .*schema version 99; this program works with version 1";
        QString wrongPassword = station;
        wrongPassword.replace(QStringLiteral("secret"), QStringLiteral("guess"));
        QTest::newRow("login refused") << wrongPassword << ""
                                       << "Last error: .*password authentication failed for user "
                                          "\"station1\"";
        QTest::newRow("no journal on the server")
            << server_.connection(QStringLiteral("korvel_admin"), PostgresServer::adminPassword())
                   .replace(QStringLiteral("dbname=korvel"), QStringLiteral("dbname=postgres"))
            << ""
            << "Last error: .*the server holds no journal";
    }
    void badServersKeepRunsWaiting() {
        QFETCH(QString, connection);
        QFETCH(QString, setUp);
        QFETCH(QString, expected);
        QString problem;
        if (!setUp.isEmpty())
            QVERIFY2(server_.admin(setUp, problem), qPrintable(problem));
        const QString path = freshJournal();
        {
            auto journal =
                Journal::open(path, QStringLiteral("ws-10"), QStringLiteral("kuznetsov"));
            for (int k = 0; k < 3; ++k)
                recordRun(*journal, 4, true, k);
        }
        JournalDelivery delivery(path, connection);
        DeliveryProgress progress;
        QVERIFY(!delivery.deliverAll(10, progress));
        const Tool status = korvelbase({"journal", "status", "--journal", path});
        QCOMPARE(status.code, 1);
        QVERIFY2(status.out.contains(QLatin1String("Runs waiting: 3 (3 not yet on the server)")),
                 qPrintable(status.out));
        QVERIFY(status.out.contains(QLatin1String("Answers waiting: 12")));
        QVERIFY2(QRegularExpression(expected).match(status.out).hasMatch(), qPrintable(status.out));
        QVERIFY2(!status.out.contains(QLatin1String("guess")), "a password in the status");
        if (!setUp.isEmpty())
            QVERIFY(
                server_.admin(QStringLiteral("UPDATE journal_version SET version = 1"), problem));

        const Tool push = korvelbase({"journal", "push", "--server", station(), "--journal", path});
        QVERIFY2(push.code == 0, qPrintable(push.out));
        QVERIFY2(push.out.contains(QLatin1String("Delivered 3 runs (12 answers)")),
                 qPrintable(push.out));
        const Tool after = korvelbase({"journal", "status", "--journal", path});
        QCOMPARE(after.code, 0);
        QVERIFY2(after.out.contains(QLatin1String("Runs waiting: 0 (0 not yet on the server)")),
                 qPrintable(after.out));
        QVERIFY(!after.out.contains(QLatin1String("Last error")));
        verifyServerHolds(path);
    }

    // The viewer reads the server as the tool reads a local journal: the
    // same runs, rows, CSV and item analysis.
    void serverReadsAsTheLocalJournal() {
        const QString path = freshJournal();
        {
            auto journal = Journal::open(path, QStringLiteral("ws-13"), QStringLiteral("u"));
            // The exams (every third) of one base have as many questions each.
            for (int k = 0; k < 12; ++k)
                recordRun(*journal, k % 3 ? 4 + k % 5 : 6, k != 7, k);
        }
        const Tool push = korvelbase({"journal", "push", "--server", station(), "--journal", path});
        QVERIFY2(push.code == 0, qPrintable(push.out));
        QString error;
        const auto local = JournalReader::open(path, error);
        QVERIFY2(local, qPrintable(error));
        const auto remote = JournalReader::openServer(
            server_.connection(QStringLiteral("viewer1"), ViewerPassword), error);
        QVERIFY2(remote, qPrintable(error));
        QVERIFY(!remote->path().contains(ViewerPassword));
        const QStringList runs = everything(*local);
        QCOMPARE(runs.filter(QRegularExpression(QStringLiteral("^[^ ]"))).size(), 12);
        QCOMPARE(everything(*remote), runs);
        QCOMPARE(csv(*remote, CsvRows::Runs), csv(*local, CsvRows::Runs));
        QCOMPARE(csv(*remote, CsvRows::Answers), csv(*local, CsvRows::Answers));
        RunFilter exams;
        exams.kind = RecordedRunKind::Exam;
        exams.since = QDateTime(QDate(2026, 12, 9), QTime(10, 0), Qt::UTC);
        QCOMPARE(csv(*remote, CsvRows::Runs, exams), csv(*local, CsvRows::Runs, exams));
        QVERIFY2(analysis(*local).contains("\"runs\": 4"), analysis(*local).constData());
        QCOMPARE(analysis(*remote), analysis(*local));
        QString found;
        const QString someId = runs.first().section(u'|', 0, 0);
        QCOMPARE(remote->findRun(someId.left(8), found), JournalReader::Lookup::Found);
        QCOMPARE(found, someId);
        QCOMPARE(remote->findRun(QStringLiteral("%"), found), JournalReader::Lookup::NotFound);

        // And the tool prints the same, given --server instead of --journal.
        const QString viewer = server_.connection(QStringLiteral("viewer1"), ViewerPassword);
        const QString csvFile = dir_.filePath(QStringLiteral("runs.csv"));
        for (const QStringList& command :
             {QStringList{"list"}, QStringList{"list", "--kind", "exam"},
              QStringList{"show", someId.left(8)}, QStringList{"export", "--csv", csvFile}}) {
            const Tool fromFile =
                korvelbase(QStringList{"journal"} + command + QStringList{"--journal", path});
            const QByteArray fileCsv =
                command.first() == QLatin1String("export") ? csvBytes(csvFile) : QByteArray();
            const Tool fromServer =
                korvelbase(QStringList{"journal"} + command + QStringList{"--server", viewer});
            QVERIFY2(fromServer.code == 0, qPrintable(fromServer.out));
            QCOMPARE(fromServer.out, fromFile.out);
            if (!fileCsv.isEmpty())
                QCOMPARE(csvBytes(csvFile), fileCsv);
        }
    }

    // Journals carried from machines that never saw the server: merged into
    // one, merged again (nothing doubles), pushed.
    void carriedJournalsMergeAndPush() {
        const QString a = freshJournal();
        const QString b = freshJournal();
        QString running;
        {
            auto first = Journal::open(a, QStringLiteral("ws-11"), QStringLiteral("u1"));
            auto second = Journal::open(b, QStringLiteral("ws-12"), QStringLiteral("u2"));
            for (int k = 0; k < 4; ++k)
                recordRun(*first, 5, true, k);
            running = recordRun(*second, 3, false, 9);
        }
        // One of them from a program that kept no delivery state.
        {
            Connection old(QStringLiteral("QSQLITE"), b);
            QSqlQuery q(old.db());
            QVERIFY(q.exec("DROP TRIGGER delivery_of_new_run") && q.exec("DROP TABLE delivery") &&
                    q.exec("DROP TABLE delivery_status") && q.exec("PRAGMA user_version = 1"));
        }
        const QString into = dir_.filePath(QStringLiteral("centre/all.sqlite"));
        Tool merge = korvelbase({"journal", "merge", a, b, "--into", into});
        QVERIFY2(merge.code == 0, qPrintable(merge.out));
        QVERIFY2(merge.out.contains(QLatin1String("4 runs added, 0 runs ended, 20 answers added")),
                 qPrintable(merge.out));
        // The running run ends on its own machine; merged again, it ends here.
        {
            auto second = Journal::open(b, QStringLiteral("ws-12"), QStringLiteral("u2"));
            RunEndRecord end;
            end.runId = running;
            end.endedAt = QDateTime::currentDateTimeUtc();
            end.endedBy = RunEnding::MainMenu;
            end.total = 3;
            second->runEnded(end);
        }
        merge = korvelbase({"journal", "merge", a, b, "--into", into});
        QVERIFY2(merge.out.contains(QLatin1String("0 runs added, 0 runs ended, 0 answers added")),
                 qPrintable(merge.out));
        QVERIFY2(merge.out.contains(QLatin1String("0 runs added, 1 runs ended, 0 answers added")),
                 qPrintable(merge.out));
        QCOMPARE(korvelbase({"journal", "merge", into, "--into", into}).code, 1);
        QVERIFY(korvelbase({"journal", "status", "--journal", b})
                    .out.contains(QLatin1String("Runs waiting: 1 (1 not yet on the server)")));

        const Tool push = korvelbase({"journal", "push", "--server", station(), "--journal", into});
        QVERIFY2(push.code == 0, qPrintable(push.out));
        verifyServerHolds(into);
        QCOMPARE(server_.count(QStringLiteral("SELECT count(*) FROM runs WHERE ended_at IS NULL")),
                 0);
        // The old journal pushed on its own gains the delivery state and
        // adds nothing the merged one brought.
        QVERIFY(korvelbase({"journal", "push", "--server", station(), "--journal", b}).code == 0);
        QCOMPARE(waitingRuns(b), 0);
        verifyServerHolds(into);
    }
};

QTEST_GUILESS_MAIN(JournalDeliveryTest)
#include "tst_journal_delivery.moc"
