#include "journal/journal.h"
#include "journal/journal_schema.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace korvel;

Q_DECLARE_METATYPE(std::optional<RunEnding>)

namespace {

const QDateTime T0 = QDateTime(QDate(2026, 12, 9), QTime(19, 4, 5, 123), Qt::UTC);

RunStartRecord startRecord(const QString& id, RecordedRunKind kind, QDateTime at = T0) {
    RunStartRecord run;
    run.runId = id;
    run.kind = kind;
    run.examinee =
        kind == RecordedRunKind::Exam ? QStringLiteral("Иванов И. И., \"цех 3\"") : QString();
    run.baseFile = QStringLiteral("demo.zip");
    run.baseName = QStringLiteral("Демо-база");
    run.baseSha256 = QString(64, u'a');
    run.tickets = {2, 5};
    run.questionsPerTicket = 2;
    run.startedAt = at;
    return run;
}

AnswerRecord answerRecord(const QString& id, int seq, int t, int q, QList<int> chosen,
                          QList<int> right, QDateTime at) {
    AnswerRecord a;
    a.runId = id;
    a.seq = seq;
    a.ticket = t;
    a.question = q;
    a.chosen = chosen;
    a.right = right;
    a.correct = chosen == right;
    a.shownAt = at.addSecs(-7);
    a.answeredAt = at;
    a.msOnQuestion = 7000 + seq;
    a.elapsedSeconds = seq * 10;
    return a;
}

RunEndRecord endRecord(const QString& id, RunEnding ending, QDateTime at,
                       std::optional<int> grade) {
    RunEndRecord end;
    end.runId = id;
    end.endedAt = at;
    end.endedBy = ending;
    end.total = 4;
    end.rightCount = 1;
    end.wrongCount = 1;
    end.unanswered = 2;
    end.percent = 25;
    end.grade = grade;
    end.resultText = QStringLiteral("Неудовлетворительно  2");
    return end;
}

// Two questions answered (one right, one wrong), one presented twice, one
// presented and left, and the clock told twice.
void sitHalfARun(Journal& journal, const RunStartRecord& run) {
    const QString& id = run.runId;
    journal.runStarted(run);
    journal.questionPresented({id, 2, 1, {2}, T0.addSecs(1)});
    journal.answerJudged(answerRecord(id, 1, 2, 1, {2}, {2}, T0.addSecs(8)));
    journal.questionPresented({id, 2, 2, {1, 3}, T0.addSecs(9)});
    journal.examTimeUsed(id, 12, T0.addSecs(12));
    journal.questionPresented({id, 2, 2, {1, 3}, T0.addSecs(13)}); // again: the first time stays
    journal.answerJudged(answerRecord(id, 2, 2, 2, {1}, {1, 3}, T0.addSecs(20)));
    journal.questionPresented({id, 5, 1, {4}, T0.addSecs(21)});
    journal.examTimeUsed(id, 30, T0.addSecs(30));
}

std::unique_ptr<Journal> openJournal(const QString& path, const QString& user = "ivanov") {
    return Journal::open(path, QStringLiteral("station-1"), user);
}

} // namespace

class JournalRecordingTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    int file_ = 0;

    QString freshPath() { return dir_.filePath(QStringLiteral("j%1/journal.sqlite").arg(++file_)); }

private slots:
    void runReadsBackAsRecorded_data() {
        QTest::addColumn<RecordedRunKind>("kind");
        QTest::addColumn<int>("timeLimit"); // 0: none
        QTest::addColumn<std::optional<RunEnding>>("ending");
        QTest::addColumn<int>("grade"); // 0: none
        QTest::newRow("preparation to its last answer")
            << RecordedRunKind::Preparation << 0 << std::optional(RunEnding::LastAnswer) << 2;
        QTest::newRow("exam ended by time")
            << RecordedRunKind::Exam << 900 << std::optional(RunEnding::TimeLimit) << 2;
        QTest::newRow("work on errors left through the main menu")
            << RecordedRunKind::WorkOnErrors << 0 << std::optional(RunEnding::MainMenu) << 0;
        QTest::newRow("exam still running")
            << RecordedRunKind::Exam << 600 << std::optional<RunEnding>() << 0;
    }
    void runReadsBackAsRecorded() {
        QFETCH(RecordedRunKind, kind);
        QFETCH(int, timeLimit);
        QFETCH(std::optional<RunEnding>, ending);
        QFETCH(int, grade);
        const QString path = freshPath(); // its folder does not exist yet
        auto journal = openJournal(path);
        QVERIFY2(journal->recording(), qPrintable(journal->problem()));
        QVERIFY(journal->problem().isEmpty());

        RunStartRecord start = startRecord(QStringLiteral("run-a"), kind);
        if (timeLimit)
            start.timeLimitSeconds = timeLimit;
        if (kind == RecordedRunKind::WorkOnErrors)
            start.parentRunId = QStringLiteral("run-parent");
        sitHalfARun(*journal, start);
        const QDateTime endedAt = T0.addSecs(40);
        if (ending) {
            journal->runEnded(endRecord(start.runId, *ending, endedAt,
                                        grade ? std::optional(grade) : std::nullopt));
            // An ended run is never changed again.
            journal->answerJudged(answerRecord(start.runId, 3, 5, 1, {4}, {4}, T0.addSecs(50)));
            journal->questionPresented({start.runId, 5, 2, {1}, T0.addSecs(51)});
            journal->examTimeUsed(start.runId, 99, T0.addSecs(52));
            journal->runEnded(endRecord(start.runId, RunEnding::Interrupted, T0.addSecs(53), 5));
        }
        QVERIFY2(journal->recording(), qPrintable(journal->problem()));

        // Read through a second journal on the file: everything is on disk.
        auto reader = openJournal(path);
        const std::optional<StoredRun> run = reader->run(start.runId);
        QVERIFY(run);
        QCOMPARE(run->start.runId, start.runId);
        QCOMPARE(run->start.kind, kind);
        QCOMPARE(run->start.examinee, start.examinee);
        QCOMPARE(run->start.baseName, start.baseName);
        QCOMPARE(run->start.baseSha256, start.baseSha256);
        QCOMPARE(run->start.tickets, start.tickets);
        QCOMPARE(run->start.questionsPerTicket, 2);
        QCOMPARE(run->start.timeLimitSeconds, start.timeLimitSeconds);
        QCOMPARE(run->start.startedAt, T0);
        QCOMPARE(run->start.parentRunId, start.parentRunId);
        QCOMPARE(run->station, QStringLiteral("station-1"));
        QCOMPARE(run->osUser, QStringLiteral("ivanov"));
        QCOMPARE(run->examTimeUsed, 30);

        QCOMPARE(run->answers.size(), 2);
        const StoredAnswer& wrong = run->answers.at(1);
        QCOMPARE(wrong.seq, 2);
        QCOMPARE(wrong.ticket, 2);
        QCOMPARE(wrong.question, 2);
        QCOMPARE(wrong.chosen, QList<int>{1});
        QCOMPARE(wrong.right, (QList<int>{1, 3}));
        QVERIFY(!wrong.correct);
        QVERIFY(run->answers.at(0).correct);
        QCOMPARE(wrong.shownAt, T0.addSecs(13));
        QCOMPARE(wrong.answeredAt, T0.addSecs(20));
        QCOMPARE(wrong.msOnQuestion, 7002);
        QCOMPARE(wrong.elapsedSeconds, 20);

        QCOMPARE(run->presented.size(), 3);
        QCOMPARE(run->presented.at(1).ticket, 2);
        QCOMPARE(run->presented.at(1).question, 2);
        QCOMPARE(run->presented.at(1).right, (QList<int>{1, 3}));
        QCOMPARE(run->presented.at(1).firstShownAt, T0.addSecs(9));
        QCOMPARE(run->presented.at(2).ticket, 5);

        if (ending) {
            QVERIFY(run->end);
            QCOMPARE(run->end->endedBy, *ending);
            QCOMPARE(run->end->endedAt, endedAt);
            QCOMPARE(run->end->grade, grade ? std::optional(grade) : std::nullopt);
            QCOMPARE(run->end->unanswered, 2);
            QCOMPARE(run->end->percent, 25);
            QCOMPARE(run->end->resultText, QStringLiteral("Неудовлетворительно  2"));
            QCOMPARE(run->lastSeenAt, endedAt);
            QVERIFY(run->interruptions.isEmpty());
            QVERIFY(reader->unfinishedRuns().isEmpty());
        } else {
            QVERIFY(!run->end);
            QCOMPARE(run->lastSeenAt, T0.addSecs(30));
            QCOMPARE(reader->unfinishedRuns().size(), 1);
        }
    }

    // The file is an interface: the values as the documentation gives them.
    void columnsHoldTheDocumentedText() {
        const QString path = freshPath();
        {
            auto journal = openJournal(path);
            RunStartRecord start = startRecord(QStringLiteral("run-b"), RecordedRunKind::Exam);
            start.timeLimitSeconds = 900;
            sitHalfARun(*journal, start);
            journal->runEnded(endRecord(start.runId, RunEnding::TimeLimit, T0.addSecs(40), 2));
        }
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "raw");
        db.setDatabaseName(path);
        QVERIFY(db.open());
        {
            QSqlQuery q(db);
            QVERIFY(q.exec("PRAGMA user_version") && q.next());
            QCOMPARE(q.value(0).toInt(), JournalSchemaVersion);
            QVERIFY(q.exec("PRAGMA journal_mode") && q.next());
            QCOMPARE(q.value(0).toString(), QStringLiteral("wal"));
            QVERIFY(q.exec("SELECT kind, tickets, started_at, ended_by, time_limit_s, grade, "
                           "parent_run_id FROM runs") &&
                    q.next());
            QCOMPARE(q.value(0).toString(), QStringLiteral("exam"));
            QCOMPARE(q.value(1).toString(), QStringLiteral("2;5"));
            QCOMPARE(q.value(2).toString(), QStringLiteral("2026-12-09T19:04:05.123Z"));
            QCOMPARE(q.value(3).toString(), QStringLiteral("time_limit"));
            QCOMPARE(q.value(4).toInt(), 900);
            QCOMPARE(q.value(5).toInt(), 2);
            QVERIFY(q.value(6).isNull());
            QVERIFY(q.exec("SELECT chosen, right, correct FROM answers WHERE seq = 2") && q.next());
            QCOMPARE(q.value(0).toString(), QStringLiteral("1"));
            QCOMPARE(q.value(1).toString(), QStringLiteral("1;3"));
            QCOMPARE(q.value(2).toInt(), 0);
        }
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase("raw");
    }

    void unfinishedRunsAreThisStationsAndUsersNewestFirst() {
        const QString path = freshPath();
        auto mine = openJournal(path);
        auto otherUser = openJournal(path, QStringLiteral("petrov"));
        auto otherStation = Journal::open(path, QStringLiteral("station-2"), "ivanov");
        mine->runStarted(startRecord("older", RecordedRunKind::Exam, T0));
        mine->runStarted(startRecord("newer", RecordedRunKind::Preparation, T0.addSecs(60)));
        mine->runStarted(startRecord("ended", RecordedRunKind::Exam, T0.addSecs(120)));
        mine->runEnded(endRecord("ended", RunEnding::LastAnswer, T0.addSecs(130), 5));
        otherUser->runStarted(startRecord("petrov's", RecordedRunKind::Exam, T0.addSecs(200)));
        otherStation->runStarted(startRecord("elsewhere", RecordedRunKind::Exam, T0.addSecs(300)));
        QStringList ids;
        for (const StoredRun& run : mine->unfinishedRuns())
            ids << run.start.runId;
        QCOMPARE(ids, (QStringList{"newer", "older"}));
        QCOMPARE(otherUser->unfinishedRuns().size(), 1);
    }

    void interruptionsAreKept() {
        auto journal = openJournal(freshPath());
        // Resumed: the gap between the last sign of life and the resumption.
        sitHalfARun(*journal, startRecord("resumed", RecordedRunKind::Exam));
        const QDateTime lastSeen = journal->run("resumed")->lastSeenAt;
        journal->runResumed("resumed", lastSeen, lastSeen.addSecs(95));
        journal->answerJudged(answerRecord("resumed", 3, 5, 1, {4}, {4}, lastSeen.addSecs(100)));
        journal->runEnded(endRecord("resumed", RunEnding::LastAnswer, lastSeen.addSecs(101), 3));
        // Not resumed: marked at the next start, its last sign of life kept.
        sitHalfARun(*journal, startRecord("abandoned", RecordedRunKind::Preparation));
        journal->runEnded(endRecord("abandoned", RunEnding::Interrupted, T0.addSecs(3630), 2));

        const std::optional<StoredRun> resumed = journal->run("resumed");
        QVERIFY(resumed);
        QCOMPARE(resumed->interruptions.size(), 1);
        QCOMPARE(resumed->interruptions.at(0).interruptedAt, lastSeen);
        QCOMPARE(resumed->interruptions.at(0).resumedAt, lastSeen.addSecs(95));
        QCOMPARE(resumed->interruptions.at(0).seconds, 95);
        QCOMPARE(resumed->answers.size(), 3);
        QCOMPARE(resumed->end->endedBy, RunEnding::LastAnswer);

        const std::optional<StoredRun> abandoned = journal->run("abandoned");
        QVERIFY(abandoned);
        QCOMPARE(abandoned->interruptions.size(), 1);
        QCOMPARE(abandoned->interruptions.at(0).interruptedAt, T0.addSecs(30));
        QVERIFY(abandoned->interruptions.at(0).resumedAt.isNull());
        QCOMPARE(abandoned->interruptions.at(0).seconds, 3600);
        QCOMPARE(abandoned->lastSeenAt, T0.addSecs(30));
        QCOMPARE(abandoned->end->endedBy, RunEnding::Interrupted);
        QVERIFY(journal->unfinishedRuns().isEmpty());
    }
};

QTEST_GUILESS_MAIN(JournalRecordingTest)
#include "tst_journal_recording.moc"
