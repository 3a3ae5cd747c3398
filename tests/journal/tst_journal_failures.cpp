#include "journal/damaged_file.h"
#include "journal/journal.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace korvel;

namespace {

const QDateTime T0 = QDateTime(QDate(2026, 12, 9), QTime(19, 4, 5), Qt::UTC);

RunStartRecord startRecord(const QString& id) {
    RunStartRecord run;
    run.runId = id;
    run.kind = RecordedRunKind::Exam;
    run.examinee = QStringLiteral("Сидоров");
    run.baseFile = QStringLiteral("demo.zip");
    run.baseName = QStringLiteral("Демо");
    run.baseSha256 = QString(64, u'b');
    run.tickets = {1};
    run.questionsPerTicket = 400;
    run.startedAt = T0;
    return run;
}

AnswerRecord answerRecord(const QString& id, int seq) {
    AnswerRecord a;
    a.runId = id;
    a.seq = seq;
    a.ticket = 1;
    a.question = seq;
    a.chosen = {1};
    a.right = {1};
    a.correct = true;
    a.shownAt = T0.addSecs(seq);
    a.answeredAt = T0.addSecs(seq + 1);
    return a;
}

std::unique_ptr<Journal> openJournal(const QString& path) {
    return Journal::open(path, QStringLiteral("station"), QStringLiteral("user"));
}

QByteArray garbage() {
    QByteArray bytes;
    for (int k = 0; k < 4096; ++k)
        bytes.append(char((k * 7919 + 13) % 251));
    return bytes;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// An SQLite file made by someone else: a table, and user_version as given.
void makeDatabase(const QString& path, int userVersion, const QStringList& statements) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "maker");
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery q(db);
        for (const QString& statement : statements)
            QVERIFY2(q.exec(statement), qPrintable(statement));
        QVERIFY(q.exec(QStringLiteral("PRAGMA user_version = %1").arg(userVersion)));
    }
    QSqlDatabase::removeDatabase("maker");
}

// Runs `body` in a child process as an ordinary user (root reads and writes
// whatever it likes, so a read-only folder means nothing to it). The exit
// code is the body's result.
int asOrdinaryUser(const std::function<int()>& body) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(99);
        _exit(body());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}

} // namespace

class JournalFailuresTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    int folder_ = 0;

    QString freshFolder() {
        const QString path = dir_.filePath(QString::number(++folder_));
        QDir().mkpath(path);
        return path;
    }

private slots:
    void folderThatCannotBeMade() {
        const QString blocker = freshFolder() + "/file";
        QVERIFY(writeFile(blocker, "x"));
        auto journal = openJournal(blocker + "/sub/journal.sqlite");
        QVERIFY(!journal->recording());
        QVERIFY2(journal->problem().startsWith(QStringLiteral("Результаты не записываются: ")),
                 qPrintable(journal->problem()));
        QVERIFY(journal->problem().contains(blocker));
        // Every call goes on quietly.
        journal->runStarted(startRecord("r"));
        journal->answerJudged(answerRecord("r", 1));
        QVERIFY(!journal->run("r"));
        QVERIFY(journal->unfinishedRuns().isEmpty());
    }

    void readOnlyFolderAndFile_data() {
        QTest::addColumn<bool>("fileExists");
        QTest::newRow("no journal yet") << false;
        QTest::newRow("an earlier journal") << true;
    }
    void readOnlyFolderAndFile() {
        QFETCH(bool, fileExists);
        const QString folder = freshFolder();
        const QString path = folder + "/journal.sqlite";
        if (fileExists) {
            auto journal = openJournal(path);
            journal->runStarted(startRecord("earlier"));
        }
        const QByteArray before = readFile(path);
        QVERIFY(QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::ExeOwner |
                                                       QFile::ReadOther | QFile::ExeOther |
                                                       QFile::WriteOwner));
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner |
                                                  QFile::ReadOther | QFile::ExeOther));
        const int result = asOrdinaryUser([&] {
            auto journal = openJournal(path);
            journal->runStarted(startRecord("new"));
            journal->answerJudged(answerRecord("new", 1));
            if (journal->recording())
                return 1;
            if (!journal->problem().contains(QStringLiteral("нет права записи")) ||
                !journal->problem().contains(path)) {
                qWarning("%s", qPrintable(journal->problem()));
                return 2;
            }
            return journal->movedAsideTo().isEmpty() ? 0 : 3;
        });
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(result, 0);
        QCOMPARE(readFile(path), before);
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), fileExists ? 1 : 0);
    }

    // A file size limit makes writes fail as on a full disk (EFBIG).
    void diskFullMidRun() {
        const QString path = freshFolder() + "/journal.sqlite";
        auto journal = openJournal(path);
        journal->runStarted(startRecord("r"));
        for (int seq = 1; seq <= 3; ++seq)
            journal->answerJudged(answerRecord("r", seq));
        QVERIFY(journal->recording());

        const qint64 limit = std::max(QFileInfo(path).size(), QFileInfo(path + "-wal").size());
        rlimit original{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &original), 0);
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = original;
        small.rlim_cur = rlim_t(limit);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        int seq = 4;
        for (; seq < 200 && journal->recording(); ++seq)
            journal->answerJudged(answerRecord("r", seq));
        journal->examTimeUsed("r", 50, T0.addSecs(300));
        setrlimit(RLIMIT_FSIZE, &original);
        std::signal(SIGXFSZ, previous);

        QVERIFY(!journal->recording());
        QVERIFY2(journal->problem().contains(QStringLiteral("диск")),
                 qPrintable(journal->problem()));
        QVERIFY(journal->problem().contains(path));
        journal.reset();

        // What was committed is all there, and the file takes new runs again.
        auto reopened = openJournal(path);
        QVERIFY2(reopened->recording(), qPrintable(reopened->problem()));
        const std::optional<StoredRun> run = reopened->run("r");
        QVERIFY(run);
        QVERIFY(run->answers.size() >= 3);
        QVERIFY(run->answers.size() < seq - 1);
        for (int k = 0; k < run->answers.size(); ++k)
            QCOMPARE(run->answers.at(k).seq, k + 1);
        reopened->runStarted(startRecord("next"));
        QVERIFY(reopened->run("next"));
    }

    void notAJournal_data() {
        QTest::addColumn<int>("what");
        QTest::newRow("garbage bytes") << 0;
        QTest::newRow("another program's database") << 1;
        QTest::newRow("journal tables missing") << 2;
    }
    void notAJournal() {
        QFETCH(int, what);
        const QString folder = freshFolder();
        const QString path = folder + "/journal.sqlite";
        if (what == 0)
            QVERIFY(writeFile(path, garbage()));
        else if (what == 1)
            makeDatabase(path, 0, {"CREATE TABLE prices (item TEXT, price REAL)"});
        else
            makeDatabase(path, 1, {"CREATE TABLE runs (run_id TEXT)"});
        const QByteArray before = readFile(path);

        auto journal = openJournal(path);
        QVERIFY2(journal->recording(), qPrintable(journal->problem()));
        const QString moved = journal->movedAsideTo();
        QVERIFY(moved.startsWith(path + ".damaged-"));
        QCOMPARE(QFileInfo(moved).fileName().size(),
                 QStringLiteral("journal.sqlite.damaged-20261209-190405").size());
        QCOMPARE(readFile(moved), before);
        journal->runStarted(startRecord("after"));
        QVERIFY(journal->run("after"));
    }

    void aNewerJournalIsLeftAlone() {
        const QString path = freshFolder() + "/journal.sqlite";
        makeDatabase(path, 7,
                     {"CREATE TABLE runs (run_id TEXT)", "CREATE TABLE answers (run_id TEXT)",
                      "CREATE TABLE presented (run_id TEXT)",
                      "CREATE TABLE interruptions (run_id TEXT)"});
        const QByteArray before = readFile(path);
        auto journal = openJournal(path);
        QVERIFY(!journal->recording());
        QVERIFY(journal->problem().contains(QStringLiteral("более новой версией")));
        QVERIFY(journal->movedAsideTo().isEmpty());
        journal->runStarted(startRecord("r"));
        journal.reset();
        QCOMPARE(readFile(path), before);
    }

    void damagedNamesNeverCollide() {
        const QString folder = freshFolder();
        const QString path = folder + "/journal.sqlite";
        const QDateTime now = QDateTime::currentDateTime();
        QStringList moved;
        for (int k = 0; k < 3; ++k) {
            QVERIFY(writeFile(path, "damaged " + QByteArray::number(k)));
            QVERIFY(writeFile(path + "-wal", "log " + QByteArray::number(k)));
            QVERIFY(writeFile(path + "-shm", "index"));
            moved << moveDamagedFileAside(path, now);
        }
        const QString stem = path + ".damaged-" + now.toString("yyyyMMdd-HHmmss");
        QCOMPARE(moved, (QStringList{stem, stem + "-2", stem + "-3"}));
        for (int k = 0; k < 3; ++k) {
            QCOMPARE(readFile(moved.at(k)), "damaged " + QByteArray::number(k));
            QCOMPARE(readFile(moved.at(k) + "-wal"), "log " + QByteArray::number(k));
        }
        QVERIFY(!QFileInfo::exists(path));
        QVERIFY(!QFileInfo::exists(path + "-wal"));
        QVERIFY(!QFileInfo::exists(path + "-shm"));
    }

    // Another program holding the write lock: recording stops at once with a
    // clear reason, nothing is moved aside, and no call waits for long.
    void lockedJournal() {
        const QString path = freshFolder() + "/journal.sqlite";
        auto journal = openJournal(path);
        journal->runStarted(startRecord("r"));
        QVERIFY(journal->recording());
        {
            QSqlDatabase locker = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "locker");
            locker.setDatabaseName(path);
            QVERIFY(locker.open());
            QSqlQuery q(locker);
            QVERIFY(q.exec("BEGIN EXCLUSIVE"));
            QVERIFY(q.exec("UPDATE runs SET examinee = 'locker'"));

            QElapsedTimer timer;
            timer.start();
            journal->answerJudged(answerRecord("r", 1));
            journal->answerJudged(answerRecord("r", 2));
            QVERIFY(!journal->recording());
            QVERIFY2(journal->problem().contains(QStringLiteral("занят другой программой")),
                     qPrintable(journal->problem()));
            auto second = openJournal(path);
            QVERIFY(!second->recording());
            QVERIFY(second->problem().contains(QStringLiteral("занят другой программой")));
            QVERIFY(second->movedAsideTo().isEmpty());
            // A hang guard, not a speed target: SQLite's default would wait 5 s per call.
            QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
            QVERIFY(q.exec("ROLLBACK"));
        }
        QSqlDatabase::removeDatabase("locker");
        QCOMPARE(QDir(QFileInfo(path).path()).entryList({"*.damaged-*"}, QDir::Files).size(), 0);
        auto afterwards = openJournal(path);
        QVERIFY(afterwards->recording());
        QVERIFY(afterwards->run("r"));
    }

    // A file made by hand from the documented version-1 schema is read and
    // written as it is: later versions must go on reading such files.
    void versionOneFileMadeByHand() {
        const QString path = freshFolder() + "/journal.sqlite";
        makeDatabase(
            path, 1,
            {"CREATE TABLE runs (run_id TEXT PRIMARY KEY NOT NULL, station TEXT NOT NULL, "
             "os_user TEXT NOT NULL, examinee TEXT NOT NULL DEFAULT '', kind TEXT NOT NULL, "
             "base_file TEXT NOT NULL, base_name TEXT NOT NULL, base_sha256 TEXT NOT NULL, "
             "tickets TEXT NOT NULL, questions_per_ticket INTEGER NOT NULL, time_limit_s "
             "INTEGER, started_at TEXT NOT NULL, parent_run_id TEXT, exam_time_used_s INTEGER "
             "NOT NULL DEFAULT 0, last_seen_at TEXT NOT NULL, ended_at TEXT, ended_by TEXT, "
             "total INTEGER, right_count INTEGER, wrong_count INTEGER, unanswered INTEGER, "
             "percent INTEGER, grade INTEGER, result_text TEXT)",
             "CREATE TABLE answers (run_id TEXT NOT NULL, seq INTEGER NOT NULL, ticket INTEGER "
             "NOT NULL, question INTEGER NOT NULL, chosen TEXT NOT NULL, right TEXT NOT NULL, "
             "correct INTEGER NOT NULL, shown_at TEXT, answered_at TEXT NOT NULL, "
             "ms_on_question INTEGER NOT NULL, elapsed_s INTEGER NOT NULL, "
             "PRIMARY KEY (run_id, seq))",
             "CREATE TABLE presented (run_id TEXT NOT NULL, ticket INTEGER NOT NULL, question "
             "INTEGER NOT NULL, right TEXT NOT NULL, first_shown_at TEXT NOT NULL, "
             "PRIMARY KEY (run_id, ticket, question))",
             "CREATE TABLE interruptions (run_id TEXT NOT NULL, interrupted_at TEXT NOT NULL, "
             "resumed_at TEXT, seconds INTEGER NOT NULL)",
             "INSERT INTO runs VALUES ('old', 'station', 'user', 'Петров', 'exam', 'a.zip', "
             "'A', 'cafe', '3;4', 5, 600, '2025-01-02T03:04:05.000Z', NULL, 120, "
             "'2025-01-02T03:06:05.000Z', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL)",
             "INSERT INTO answers VALUES ('old', 1, 3, 1, '1;2', '1;2', 1, "
             "'2025-01-02T03:04:06.000Z', '2025-01-02T03:04:16.500Z', 10500, 11)",
             "INSERT INTO presented VALUES ('old', 3, 1, '1;2', '2025-01-02T03:04:06.000Z')"});
        auto journal = openJournal(path);
        QVERIFY2(journal->recording(), qPrintable(journal->problem()));
        QVERIFY(journal->movedAsideTo().isEmpty());
        const QList<StoredRun> unfinished = journal->unfinishedRuns();
        QCOMPARE(unfinished.size(), 1);
        const StoredRun& old = unfinished.first();
        QCOMPARE(old.start.examinee, QStringLiteral("Петров"));
        QCOMPARE(old.start.tickets, (QList<int>{3, 4}));
        QCOMPARE(old.start.timeLimitSeconds, std::optional(600));
        QCOMPARE(old.examTimeUsed, 120);
        QCOMPARE(old.answers.size(), 1);
        QCOMPARE(old.answers.at(0).chosen, (QList<int>{1, 2}));
        QCOMPARE(old.answers.at(0).answeredAt,
                 QDateTime(QDate(2025, 1, 2), QTime(3, 4, 16, 500), Qt::UTC));
        QCOMPARE(old.presented.size(), 1);
        journal->answerJudged(answerRecord("old", 2));
        QVERIFY(journal->recording());
        QCOMPARE(journal->run("old")->answers.size(), 2);
    }
};

QTEST_GUILESS_MAIN(JournalFailuresTest)
#include "tst_journal_failures.moc"
