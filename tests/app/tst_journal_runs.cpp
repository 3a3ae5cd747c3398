// The results journal through the real window: the rows each kind of run
// writes as it is sat, an exam killed half-way and resumed (or not) by the
// next start, and journals that cannot be written.
#include "app/main_menu_page.h"
#include "app/question_page.h"
#include "app/results_page.h"
#include "tests/app/window_fixture.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QLineEdit>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSysInfo>
#include <QTextEdit>
#include <csignal>
#include <optional>
#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

using namespace korvel;

namespace {

// The journal file as a centre would read it: its rows, columns joined by '|'.
QStringList rows(const QString& journal, const QString& sql) {
    QStringList result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "check");
        db.setDatabaseName(journal);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open())
            qFatal("cannot open the journal %s", qPrintable(journal));
        QSqlQuery query(db);
        if (!query.exec(sql))
            qFatal("query failed: %s", qPrintable(sql));
        while (query.next()) {
            QStringList columns;
            for (int c = 0; c < query.record().count(); ++c)
                columns << query.value(c).toString();
            result << columns.join('|');
        }
    }
    QSqlDatabase::removeDatabase("check");
    return result;
}

const QString RunColumns = QStringLiteral(
    "SELECT kind, examinee, tickets, time_limit_s, ended_by, total, right_count, wrong_count, "
    "unanswered, percent, grade FROM runs ORDER BY rowid");

#ifdef Q_OS_UNIX
// A full disk as this process sees it: no file grows past `bytes`.
class FileSizeLimit {
public:
    explicit FileSizeLimit(qint64 bytes) {
        signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead
        getrlimit(RLIMIT_FSIZE, &before_);
        rlimit limit = before_;
        limit.rlim_cur = rlim_t(bytes);
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &before_); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit before_{};
};
#endif

QString sha256(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex();
}

} // namespace

class JournalRunsTest : public QObject, public WindowFixture {
    Q_OBJECT
public:
    // The child process of the crash: half an exam, then killed.
    [[noreturn]] void sitHalfAnExamAndDie(const QString& folder) {
        setUpWindow(folder);
        start();
        startExam();
        for (int tick = 0; tick < 20; ++tick)
            window_->Timer1Timer();
        for (int k = 0; k < 7; ++k)
            answer(k % 2 == 0);
#ifdef Q_OS_UNIX
        raise(SIGKILL);
#endif
        std::abort();
    }

private:
    QStringList journalRows(const QString& sql) const {
        return rows(journalPath(), sql);
    }
    int warnings() const {
        int count = 0;
        for (const auto& shown : boxes_->shown())
            count += shown.kind == MessageKind::Warning ? 1 : 0;
        return count;
    }
    // Tickets 1, 2 and 4 drawn, the name typed.
    void startExam() {
        draws_ = {1, 2, 0};
        dialog_ = [](QDialog& dialog) {
            typeText(inside<QLineEdit>(&dialog, "spSkinEdit1"), QStringLiteral("Петров П. П."));
            QTest::mouseClick(inside<QPushButton>(&dialog, "spSkinButton1"), Qt::LeftButton);
        };
        click("spSkinButton12");
    }
    void sitPreparation(const QList<bool>& rights) {
        choosePreparationTickets({0});
        click("spSkinButton10");
        for (bool right : rights)
            answer(right);
    }
    QString report() const {
        return window_->questionPage()->text()->toPlainText();
    }
    // As if the exam had been sat on another version of the base.
    void changeRecordedBase() const {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "change");
            db.setDatabaseName(journalPath());
            QVERIFY(db.open());
            QSqlQuery query(db);
            QVERIFY(query.exec("UPDATE runs SET base_sha256 = '" + QString(64, '0') + "'"));
        }
        QSqlDatabase::removeDatabase("change");
    }

private slots:
    void init() {
        setUpWindow();
    }
    void cleanup() {
        tearDownWindow();
    }

    void runsOfEachKind_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("runs");
        QTest::addColumn<int>("answers");
        QTest::newRow("preparation")
            << "preparation" << QStringList{"preparation||1||last_answer|5|4|1|0|80|4"} << 5;
        QTest::newRow("exam")
            << "exam" << QStringList{"exam|Петров П. П.|1;2;4|600|last_answer|15|15|0|0|100|5"}
            << 15;
        QTest::newRow("exam ended by time")
            << "time" << QStringList{"exam|Петров П. П.|1;2;4|60|time_limit|15|1|0|14|6|2"} << 1;
        QTest::newRow("work on errors")
            << "work"
            << QStringList{"preparation||1||last_answer|5|3|2|0|60|3",
                           "work_on_errors||1||last_answer|2|2|0|0|100|5"}
            << 7;
        QTest::newRow("left through the main menu")
            << "menu" << QStringList{"preparation||1||main_menu|5|1|0|4|20|"} << 1;
    }
    void runsOfEachKind() {
        QFETCH(QString, kind);
        QFETCH(QStringList, runs);
        QFETCH(int, answers);
        start();
        if (kind == "preparation") {
            sitPreparation({true, false, true, true, true});
        } else if (kind == "exam") {
            startExam();
            window_->Timer1Timer();
            answer(true);
            // Row by row as it is sat: the answer is in the file, the run open.
            QCOMPARE(journalRows("SELECT seq, ticket, question, correct, elapsed_s FROM answers"),
                     QStringList{"1|1|1|1|1"});
            QCOMPARE(journalRows("SELECT ended_at IS NULL, exam_time_used_s FROM runs"),
                     QStringList{"1|1"});
            for (int k = 1; k < 15; ++k)
                answer(true);
        } else if (kind == "time") {
            window_->liveSettings().setTimeEkzSek(1);
            startExam();
            answer(true);
            for (int tick = 0; tick < 60; ++tick)
                window_->Timer1Timer();
        } else if (kind == "work") {
            sitPreparation({true, false, true, false, true});
            click("WorkError");
            answer(true);
            answer(true);
        } else if (kind == "menu") {
            sitPreparation({true});
            boxes_->setNextAnswer(MessageButton::Yes);
            click("spSkinButton8");
            QVERIFY(window_->mainMenuPage()->isVisible());
        }
        QCOMPARE(journalRows(RunColumns), runs);
        QCOMPARE(journalRows("SELECT count(*) FROM answers"),
                 QStringList{QString::number(answers)});
        const QStringList where{QSysInfo::machineHostName(), "1", "demo.zip",
                                control<QPushButton>("ButtonOfBase1")->text(),
                                sha256(folder_->filePath("Base/demo.zip"))};
        QCOMPARE(journalRows("SELECT DISTINCT station, os_user <> '', base_file, base_name, "
                             "base_sha256 FROM runs"),
                 QStringList{where.join('|')});
        if (kind != "menu")
            QCOMPARE(journalRows("SELECT result_text FROM runs ORDER BY rowid DESC LIMIT 1"),
                     QStringList{text("AnalizStr")});
        if (kind == "work")
            QCOMPARE(journalRows("SELECT count(*) FROM runs w JOIN runs p ON w.parent_run_id = "
                                 "p.run_id WHERE w.kind = 'work_on_errors' AND p.kind = "
                                 "'preparation'"),
                     QStringList{"1"});
        // Every question shown is kept, answered or not.
        if (kind == "time")
            QCOMPARE(journalRows("SELECT ticket || '.' || question FROM presented ORDER BY "
                                 "first_shown_at, ticket, question"),
                     (QStringList{"1.1", "1.2"}));
        // Nothing about the journal was said: it records.
        QCOMPARE(warnings(), 0);
    }

    void crashedExam_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("wallClock");

        QTest::newRow("resumed on the exam clock") << "yes" << false;
        QTest::newRow("resumed, the wall clock counts") << "yes" << true;
        QTest::newRow("not resumed") << "no" << false;
        QTest::newRow("resumed, but the base has changed since") << "changed" << false;
    }
    void crashedExam() {
        QFETCH(QString, answer);
        QFETCH(bool, wallClock);
        settings_->setValue("ResumeClock", wallClock ? 1 : 0);
        settings_->sync();
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--sit-half-an-exam"), folder_->path()});
        QVERIFY(child.waitForFinished(60000));
        QVERIFY(child.exitStatus() == QProcess::CrashExit || child.exitCode() != 0);
        // At least the 20 ticks the child gave; its real timer may have added one.
        const QStringList left = journalRows("SELECT ended_at IS NULL, exam_time_used_s FROM runs");
        QCOMPARE(left.size(), 1);
        QVERIFY(left.first().startsWith("1|"));
        const int used = left.first().section('|', 1).toInt() + (wallClock ? 100 : 0);
        QVERIFY(used >= 20);
        QCOMPARE(journalRows("SELECT count(*) FROM answers"), QStringList{"7"});
        const QString runId = journalRows("SELECT run_id FROM runs").first();
        if (answer == "changed")
            changeRecordedBase();

        // The next start, 100 seconds later.
        utc_ = utc_.addSecs(100);
        boxes_->setNextAnswer(answer == "no" ? MessageButton::No : MessageButton::Yes);
        start();
        QCOMPARE(boxes_->shown().size(), answer == "changed" ? 2 : 1);
        const auto& asked = boxes_->shown().first();
        QCOMPARE(asked.kind, MessageKind::Confirmation);
        QCOMPARE(asked.buttons, (QList<MessageButton>{MessageButton::Yes, MessageButton::No}));
        QVERIFY(asked.text.endsWith(QStringLiteral("Продолжить экзамен?")));
        QVERIFY(asked.text.contains(QStringLiteral("Петров П. П.")));
        QVERIFY(asked.text.contains(control<QPushButton>("ButtonOfBase1")->text()));
        QVERIFY(asked.text.contains(QDateTime(QDate(2026, 3, 2), QTime(6, 5), Qt::UTC)
                                        .toLocalTime()
                                        .toString("dd.MM.yyyy HH:mm")));

        if (answer == "changed") {
            QCOMPARE(boxes_->shown().last().kind, MessageKind::Error);
            QVERIFY(boxes_->shown().last().text.contains(QStringLiteral("нельзя продолжить")));
        }
        if (answer != "yes") {
            QVERIFY(window_->mainMenuPage()->isVisible());
            QCOMPARE(journalRows(RunColumns),
                     QStringList{"exam|Петров П. П.|1;2;4|600|interrupted|15|4|3|8|26|2"});
            QCOMPARE(journalRows("SELECT resumed_at IS NULL FROM interruptions"), QStringList{"1"});
            // Nothing is left to offer.
            window_.reset();
            boxes_->clear();
            start();
            QCOMPARE(boxes_->shown().size(), 0);
            return;
        }

        QVERIFY(window_->questionPage()->isVisible());
        QCOMPARE(window_->RunMode(), QStringLiteral("Ekz"));
        QCOMPARE(window_->ChosenTickets(), (QList<bool>{true, true, false, true}));
        QCOMPARE(counters(), QStringLiteral("04/03/08"));
        // Ten minutes, less the time used.
        QCOMPARE(text("min") + ":" + text("sec"), QStringLiteral("%1:%2")
                                                      .arg(9 - used / 60, 2, 10, QChar('0'))
                                                      .arg(59 - used % 60, 2, 10, QChar('0')));
        QVERIFY(window_->timerRunning(1));
        QCOMPARE(journalRows("SELECT seconds, resumed_at IS NOT NULL FROM interruptions"),
                 QStringList{"100|1"});
        window_->Timer1Timer();
        for (int k = 0; k < 8; ++k)
            this->answer(true);
        QVERIFY(window_->resultsPage()->isVisible());
        QCOMPARE(text("AnalizStr"), QStringLiteral("Поздравляем ВЫ сдали Экзамен!!! Оценка -4"));
        QCOMPARE(journalRows("SELECT run_id FROM runs"), QStringList{runId});
        QCOMPARE(journalRows(RunColumns),
                 QStringList{"exam|Петров П. П.|1;2;4|600|last_answer|15|12|3|0|80|4"});
        QCOMPARE(journalRows("SELECT group_concat(seq, ',') FROM (SELECT seq FROM answers "
                             "ORDER BY seq)"),
                 QStringList{"1,2,3,4,5,6,7,8,9,10,11,12,13,14,15"});
        // The report and work on errors cover the whole exam.
        click("ShowOtchet");
        QVERIFY(report().contains(QStringLiteral("Уважаемый(ая)  Петров П. П.")));
        QVERIFY(report().contains(QStringLiteral("Были отобраны билеты - 1; 2; 4; ")));
        QVERIFY(report().contains(QStringLiteral("Общее количество вопросов - 15")));
        click("BackAn");
        click("WorkError");
        QCOMPARE(counters(), QStringLiteral("00/00/03"));
    }

    // Left by a crash (the window gone without closing): ended at the next
    // start without a question, graded on the questions it had.
    void unfinishedWorkOnErrorsIsEndedWithoutAQuestion() {
        start();
        sitPreparation({true, false, true, false, true});
        click("WorkError");
        answer(true);
        window_.reset();
        start();
        QCOMPARE(boxes_->shown().size(), 0);
        QCOMPARE(journalRows(RunColumns),
                 (QStringList{"preparation||1||last_answer|5|3|2|0|60|3",
                              "work_on_errors||1||interrupted|2|1|0|1|50|2"}));
        QCOMPARE(journalRows("SELECT count(*) FROM interruptions"), QStringList{"1"});
    }

    void journalOff() {
        settings_->setValue("Journal", 0);
        start();
        sitPreparation({true, false, true, true, true});
        QCOMPARE(text("AnalizStr"), QStringLiteral("Отлично отвечаете! Оценка - 4"));
        QVERIFY(!QFile::exists(journalPath()));
        QCOMPARE(boxes_->shown().size(), 0);
    }

    void journalThatCannotRecord_data() {
        QTest::addColumn<QString>("failure");
        QTest::newRow("folder that cannot be written") << "folder";
#ifdef Q_OS_UNIX
        QTest::newRow("full disk") << "full";
#endif
        QTest::newRow("not a journal") << "garbage";
    }
    void journalThatCannotRecord() {
        QFETCH(QString, failure);
        const QByteArray garbage = QByteArray("no journal here, just words ").repeated(300);
        if (failure == "folder") {
            // Under a regular file no folder can be made, for root neither.
            QFile blocker(folder_->filePath("blocker"));
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            blocker.write("kept");
            blocker.close();
            settings_->setValue("JournalFile", folder_->filePath("blocker/journal.sqlite"));
        }
        if (failure == "garbage") {
            QFile file(journalPath());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(garbage);
        }
        start();
#ifdef Q_OS_UNIX
        std::optional<FileSizeLimit> full;
        if (failure == "full") // room for a few pages more
            full.emplace(
                qMax(QFileInfo(journalPath()).size(), QFileInfo(journalPath() + "-wal").size()) +
                64 * 1024);
#endif
        sitPreparation({true, false, true, true, true});
#ifdef Q_OS_UNIX
        full.reset();
#endif
        QVERIFY(window_->resultsPage()->isVisible());
        QCOMPARE(text("AnalizStr"), QStringLiteral("Отлично отвечаете! Оценка - 4"));
        QTRY_COMPARE(warnings(), 1);
        QVERIFY(window_->isEnabled());
        // Once told, never again, whatever the next runs meet.
        boxes_->setNextAnswer(MessageButton::Yes);
        click("spSkinButton15");
        sitPreparation({true});
        QTest::qWait(150);
        QCOMPARE(warnings(), 1);

        if (failure == "folder") {
            QFile blocker(folder_->filePath("blocker"));
            QVERIFY(blocker.open(QIODevice::ReadOnly));
            QCOMPARE(blocker.readAll(), QByteArray("kept"));
        }
        // What was committed before the disk filled stays.
        if (failure == "full") {
            QCOMPARE(journalRows("SELECT kind FROM runs"), QStringList{"preparation"});
            QVERIFY(journalRows("SELECT count(*) FROM answers").first().toInt() >= 1);
        }
        if (failure == "garbage") {
            QDirIterator aside(folder_->path(), {"journal.sqlite.damaged-*"}, QDir::Files);
            QVERIFY(aside.hasNext());
            QFile moved(aside.next());
            QVERIFY(moved.open(QIODevice::ReadOnly));
            QCOMPARE(moved.readAll(), garbage);
            QVERIFY(boxes_->shown().first().text.contains(QFileInfo(moved).fileName()));
            QCOMPARE(journalRows("SELECT ended_by FROM runs ORDER BY rowid"),
                     (QStringList{"last_answer", ""}));
        }
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    JournalRunsTest test;
    if (argc == 3 && QByteArray(argv[1]) == "--sit-half-an-exam")
        test.sitHalfAnExamAndDie(QString::fromLocal8Bit(argv[2]));
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_journal_runs.moc"
