// The journal window on journals written here through the Journal API, with
// a base in its Base/ folder, a settings file of its own and every dialog
// pinned. Every case runs twice: on the journal file, and on the same runs
// delivered to a PostgreSQL server of the test's own and read with the
// viewer's login.
#include "basestore/base_digest.h"
#include "journal/journal.h"
#include "journal/journal_delivery.h"
#include "platform/message_boxes.h"
#include "tests/journal/delivery_fixture.h"
#include "tests/support/test_base_builder.h"
#include "viewer/analysis_page.h"
#include "viewer/base_lookup.h"
#include "viewer/journal_window.h"
#include "viewer/past_run_page.h"
#include "viewer/runs_model.h"
#include "viewer/runs_page.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QCryptographicHash>
#include <QDateEdit>
#include <QDir>
#include <QHeaderView>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <memory>

using namespace korvel;

namespace {

const QDateTime Monday = QDateTime(QDate(2026, 11, 2), QTime(9, 0), Qt::UTC);

struct Sitting {
    QString id;
    RecordedRunKind kind;
    QString examinee;
    int day; // after Monday
    // ticket, question, chosen answer (the right one is the question's own)
    QList<std::array<int, 3>> answers;
    RunEnding ending = RunEnding::LastAnswer;
    QString station = QStringLiteral("station-1");
};

// The right answer of each question of standardBase: 1, 2, 1, 2 ...
int rightOf(int question) {
    return 1 + (question - 1) % 3;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString cellText(const QTableWidget* table, int row, int column) {
    const QTableWidgetItem* item = table->item(row, column);
    return item ? item->text() : QString();
}

} // namespace

class JournalWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString basePath_;
    QString sha_;
    QString journalPath_;
    std::unique_ptr<QSettings> settings_;
    ScriptedMessageBoxes boxes_;
    QList<SaveDialogRequest> requests_;
    QString nextSavePath_;
    ViewerEnvironment environment_;
    PostgresServer server_;
    QString serverProblem_; // why the server cases are skipped

    // Two tickets of two questions; every run sits both tickets.
    void sit(Journal& journal, const Sitting& s) {
        RunStartRecord start;
        start.runId = s.id;
        start.kind = s.kind;
        start.examinee = s.examinee;
        start.baseFile = QStringLiteral("base.zip");
        start.baseName = QStringLiteral("Test base");
        start.baseSha256 = sha_;
        start.tickets = {1, 2};
        start.questionsPerTicket = 2;
        start.startedAt = Monday.addDays(s.day);
        journal.runStarted(start);
        int seq = 0, right = 0;
        QDateTime at = start.startedAt;
        for (const auto& [t, q, chosen] : s.answers) {
            at = at.addSecs(10);
            journal.questionPresented({s.id, t, q, {rightOf(q)}, at});
            AnswerRecord answer;
            answer.runId = s.id;
            answer.seq = ++seq;
            answer.ticket = t;
            answer.question = q;
            answer.chosen = {chosen};
            answer.right = {rightOf(q)};
            answer.correct = chosen == rightOf(q);
            answer.shownAt = at;
            answer.answeredAt = at.addMSecs(4500 + 100 * seq);
            answer.msOnQuestion = 4500 + 100 * seq;
            journal.answerJudged(answer);
            right += answer.correct ? 1 : 0;
        }
        RunEndRecord end;
        end.runId = s.id;
        end.endedAt = at.addSecs(5);
        end.endedBy = s.ending;
        end.total = 4;
        end.rightCount = right;
        end.wrongCount = int(s.answers.size()) - right;
        end.unanswered = 4 - int(s.answers.size());
        end.percent = 100 * right / 4;
        const int grade = end.percent > 80 ? 5 : end.percent > 60 ? 4 : end.percent > 50 ? 3 : 2;
        end.grade = s.ending == RunEnding::MainMenu ? std::optional<int>() : grade;
        end.resultText = QStringLiteral("Оценка - %1").arg(grade);
        journal.runEnded(end);
    }

    // Eight runs: who, what, when and how well are all different.
    void writeJournal() {
        auto journal =
            Journal::open(journalPath_, QStringLiteral("station-1"), QStringLiteral("tester"));
        QVERIFY2(journal->recording(), qPrintable(journal->problem()));
        const QList<Sitting> sittings = {
            {"e1",
             RecordedRunKind::Exam,
             "Иванов Иван",
             0,
             {{1, 1, 1}, {1, 2, 2}, {2, 1, 1}, {2, 2, 2}}},
            {"e2",
             RecordedRunKind::Exam,
             "ПЕТРОВ Петр",
             1,
             {{1, 1, 1}, {1, 2, 1}, {2, 1, 1}, {2, 2, 2}}},
            {"e3",
             RecordedRunKind::Exam,
             "Сидорова Анна",
             7,
             {{1, 1, 2}, {1, 2, 1}, {2, 1, 1}, {2, 2, 1}}},
            {"e4",
             RecordedRunKind::Exam,
             "иванова мария",
             8,
             {{1, 1, 1}, {1, 2, 2}, {2, 1, 2}, {2, 2, 1}}},
            {"e5",
             RecordedRunKind::Exam,
             "Кузнецов",
             14,
             {{1, 1, 1}, {1, 2, 2}},
             RunEnding::TimeLimit},
            {"p1",
             RecordedRunKind::Preparation,
             "",
             2,
             {{1, 1, 1}, {1, 2, 2}, {2, 1, 1}, {2, 2, 2}}},
            {"p2", RecordedRunKind::Preparation, "", 9, {{1, 1, 3}}, RunEnding::MainMenu},
            {"w1", RecordedRunKind::WorkOnErrors, "", 3, {{1, 2, 2}}},
        };
        for (const Sitting& s : sittings)
            sit(*journal, s);
    }

    std::unique_ptr<JournalWindow> newWindow() {
        auto window = std::make_unique<JournalWindow>(environment_);
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            qWarning("the window did not become active");
        return window;
    }

    static QStringList shownIds(const RunsModel* model) {
        QStringList ids;
        for (int row = 0; row < model->rowCount(); ++row)
            ids << model->index(row, 0).data(RunsModel::RunIdRole).toString();
        return ids;
    }

private slots:
    void initTestCase_data() {
        QTest::addColumn<bool>("onServer");
        QTest::newRow("journal file") << false;
        QTest::newRow("centre's server") << true;
    }

    void initTestCase() {
        QVERIFY(dir_.isValid());
        QDir(dir_.path()).mkpath(QStringLiteral("program/Base"));
        environment_.programFolder = dir_.filePath(QStringLiteral("program"));
        basePath_ = dir_.filePath(QStringLiteral("program/Base/base.zip"));
        standardBase(2, 2).write(basePath_);
        sha_ = baseArchiveSha256(basePath_);
        QCOMPARE(sha_.size(), 64);
        journalPath_ = dir_.filePath(QStringLiteral("journal/journal.sqlite"));
        writeJournal();
        environment_.boxes = &boxes_;
        environment_.saveFileName = [this](const SaveDialogRequest& request) {
            requests_.append(request);
            return nextSavePath_;
        };
        environment_.choosePrinter = [this](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(dir_.filePath(QStringLiteral("report.pdf")));
            return true;
        };
        serverProblem_ = PostgresServer::unavailable();
        if (serverProblem_.isEmpty()) {
            QString problem;
            QVERIFY2(test::prepareServer(server_, problem), qPrintable(problem));
            JournalDelivery delivery(journalPath_, stationLogin());
            DeliveryProgress progress;
            QVERIFY2(delivery.deliverAll(100, progress), qPrintable(delivery.problem()));
            QCOMPARE(progress.runs, 8);
        }
    }

    QString stationLogin() const {
        return server_.connection(QStringLiteral("station1"), test::StationPassword);
    }

    void init() {
        QFile::remove(dir_.filePath(QStringLiteral("settings.ini")));
        settings_ = std::make_unique<QSettings>(dir_.filePath(QStringLiteral("settings.ini")),
                                                QSettings::IniFormat);
        settings_->setValue(QStringLiteral("JournalFile"), journalPath_);
        QFETCH_GLOBAL(bool, onServer);
        if (onServer) {
            if (!serverProblem_.isEmpty())
                QSKIP(qPrintable(serverProblem_));
            settings_->setValue(
                QStringLiteral("JournalServer"),
                server_.connection(QStringLiteral("viewer1"), test::ViewerPassword));
        }
        environment_.settings = settings_.get();
        boxes_.clear();
        requests_.clear();
    }

    void filtersLeaveTheRightRuns_data() {
        QTest::addColumn<QString>("examinee");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QDate>("since");
        QTest::addColumn<QDate>("until");
        QTest::addColumn<int>("grade");       // 0: any
        QTest::addColumn<int>("passed");      // -1 any, 1 passed, 0 failed
        QTest::addColumn<QStringList>("ids"); // newest first
        const QDate none;
        QTest::newRow("everything, newest first")
            << ""
            << "" << none << none << 0 << -1
            << QStringList{"e5", "p2", "e4", "e3", "w1", "p1", "e2", "e1"};
        QTest::newRow("name in any letter case, Cyrillic")
            << "ИВАНОВ"
            << "" << none << none << 0 << -1 << QStringList{"e4", "e1"};
        QTest::newRow("a name nobody has") << "Смирнов"
                                           << "" << none << none << 0 << -1 << QStringList{};
        QTest::newRow("exams only")
            << ""
            << "exam" << none << none << 0 << -1 << QStringList{"e5", "e4", "e3", "e2", "e1"};
        QTest::newRow("the second week, both ends included")
            << ""
            << "" << QDate(2026, 11, 9) << QDate(2026, 11, 10) << 0 << -1
            << QStringList{"e4", "e3"};
        QTest::newRow("grade 4") << ""
                                 << "" << none << none << 4 << -1 << QStringList{"e2"};
        QTest::newRow("passed exams")
            << ""
            << "exam" << none << none << 0 << 1 << QStringList{"e2", "e1"};
        QTest::newRow("failed: ungraded runs are neither")
            << ""
            << "" << none << none << 0 << 0 << QStringList{"e5", "e4", "e3", "w1"};
    }
    void filtersLeaveTheRightRuns() {
        QFETCH(QString, examinee);
        QFETCH(QString, kind);
        QFETCH(QDate, since);
        QFETCH(QDate, until);
        QFETCH(int, grade);
        QFETCH(int, passed);
        QFETCH(QStringList, ids);
        auto window = newWindow();
        RunsPage* page = window->runsPage();
        auto* search = page->findChild<QLineEdit*>(QStringLiteral("ExamineeSearch"));
        search->setText(examinee);
        QTest::keyClick(search, Qt::Key_Return);
        auto* kinds = page->findChild<QComboBox*>(QStringLiteral("KindFilter"));
        kinds->setCurrentIndex(qMax(0, kinds->findData(kind)));
        if (since.isValid()) {
            page->findChild<QDateEdit*>(QStringLiteral("SinceDate"))->setDate(since);
            page->findChild<QCheckBox*>(QStringLiteral("SinceOn"))->setChecked(true);
        }
        if (until.isValid()) {
            page->findChild<QDateEdit*>(QStringLiteral("UntilDate"))->setDate(until);
            page->findChild<QCheckBox*>(QStringLiteral("UntilOn"))->setChecked(true);
        }
        auto* grades = page->findChild<QComboBox*>(QStringLiteral("GradeFilter"));
        grades->setCurrentIndex(grade ? grades->findData(grade) : 0);
        auto* results = page->findChild<QComboBox*>(QStringLiteral("ResultFilter"));
        results->setCurrentIndex(passed < 0 ? 0 : results->findData(bool(passed)));
        QCOMPARE(shownIds(page->model()), ids);
        QVERIFY(boxes_.shown().isEmpty());
    }

    void sortingByAnyColumnAsksTheJournal_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("order");
        QTest::addColumn<QStringList>("ids");
        // Ties keep the newest first; a figure a run has not got (p2's
        // grade) goes last either way. Names compare as the journal stores
        // them (UTF-8 bytes), so lower case comes after upper case.
        QTest::newRow("examinee ascending")
            << int(RunsModel::Examinee) << int(Qt::AscendingOrder)
            << QStringList{"p2", "w1", "p1", "e1", "e5", "e2", "e3", "e4"};
        QTest::newRow("grade descending")
            << int(RunsModel::Grade) << int(Qt::DescendingOrder)
            << QStringList{"p1", "e1", "e2", "e5", "e4", "e3", "w1", "p2"};
        QTest::newRow("grade ascending")
            << int(RunsModel::Grade) << int(Qt::AscendingOrder)
            << QStringList{"e5", "e4", "e3", "w1", "e2", "p1", "e1", "p2"};
        QTest::newRow("right answers ascending")
            << int(RunsModel::Right) << int(Qt::AscendingOrder)
            << QStringList{"p2", "e3", "w1", "e5", "e4", "e2", "p1", "e1"};
    }
    void sortingByAnyColumnAsksTheJournal() {
        QFETCH(int, column);
        QFETCH(int, order);
        QFETCH(QStringList, ids);
        auto window = newWindow();
        QTableView* table = window->runsPage()->table();
        table->horizontalHeader()->setSortIndicator(column, Qt::SortOrder(order));
        QCOMPARE(shownIds(window->runsPage()->model()), ids);
    }

    void enterOpensTheRunWithItsAnswersAndReport() {
        auto window = newWindow();
        QFETCH_GLOBAL(bool, onServer);
        const QString source = window->findChild<QLabel*>(QStringLiteral("JournalSource"))->text();
        QVERIFY2(source.startsWith(onServer ? QStringLiteral("Журнал центра: host=127.0.0.1 ")
                                            : QStringLiteral("Журнал: ")),
                 qPrintable(source));
        QVERIFY(!source.contains(test::ViewerPassword));
        QTableView* table = window->runsPage()->table();
        auto* search = window->findChild<QLineEdit*>(QStringLiteral("ExamineeSearch"));
        search->setText(QStringLiteral("петров"));
        QTest::keyClick(search, Qt::Key_Return);
        table->setFocus();
        table->setCurrentIndex(table->model()->index(0, 0));
        QTest::keyClick(table, Qt::Key_Return);
        QCOMPARE(window->tabs()->currentWidget(), window->runPage());

        const auto* answers = window->findChild<QTableWidget*>(QStringLiteral("AnswersTable"));
        QCOMPARE(answers->rowCount(), 4);
        // e2 answered 1.2 with 1 where 2 is right.
        QCOMPARE(cellText(answers, 1, 1), QStringLiteral("1"));
        QCOMPARE(cellText(answers, 1, 2), QStringLiteral("2"));
        QCOMPARE(cellText(answers, 1, 3), QStringLiteral("1"));
        QCOMPARE(cellText(answers, 1, 4), QStringLiteral("2"));
        QCOMPARE(cellText(answers, 1, 5), QStringLiteral("неверно"));
        QCOMPARE(cellText(answers, 1, 6), QStringLiteral("4,7 с"));
        QTest::keyClick(const_cast<QTableWidget*>(answers), Qt::Key_Down);
        const QString shown =
            window->findChild<QTextBrowser*>(QStringLiteral("QuestionView"))->toHtml();
        QVERIFY2(shown.contains(QStringLiteral("Question 1.2")), qPrintable(shown));
        QVERIFY(shown.contains(QStringLiteral("Answer 2")));
        // The wrongly chosen answer in WrongColor, the right one in TrueColor.
        QVERIFY(shown.contains(QStringLiteral("#ff8080")));
        QVERIFY(shown.contains(QStringLiteral("#caffca")));

        window->runPage()->ShowReportClick();
        const QString report = window->runPage()->reportDocument().toPlainText();
        QVERIFY2(report.startsWith(QStringLiteral("Уважаемый(ая)  ПЕТРОВ Петр\nВаши результаты:\n"
                                                  "Были отобраны билеты - 1; 2; \n"
                                                  "Общее количество вопросов - 4\n"
                                                  "Правильно-отвеченных вопросов - 03. Это 75")),
                 qPrintable(report));
        QVERIFY(report.contains(QStringLiteral("Вы допустили ошибки в билете под номером 1")));
        QVERIFY(!report.contains(QStringLiteral("под номером 2")));
        QVERIFY(report.contains(QStringLiteral("Question 1.2")));

        const QString rtf = dir_.filePath(QStringLiteral("saved/Otchet.RTF"));
        QDir().mkpath(QFileInfo(rtf).path());
        nextSavePath_ = rtf;
        window->findChild<QPushButton*>(QStringLiteral("SaveReport"))->click();
        QCOMPARE(requests_.size(), 1);
        QCOMPARE(requests_.first().proposedName, QStringLiteral("Otchet.RTF"));
        QVERIFY(fileBytes(rtf).startsWith("{\\rtf"));
        QCOMPARE(boxes_.shown().last().text, QStringLiteral("Отчет сохранен ..."));
        window->findChild<QPushButton*>(QStringLiteral("PrintReport"))->click();
        QVERIFY(fileBytes(dir_.filePath(QStringLiteral("report.pdf"))).startsWith("%PDF"));

        // Tab leaves a table for the next control instead of walking its cells.
        QWidget* table2 = const_cast<QTableWidget*>(answers);
        table2->setFocus();
        QTest::keyClick(table2, Qt::Key_Tab);
        QVERIFY(!table2->hasFocus());
        // Escape goes back to the list, on the run it came from.
        QTest::keyClick(window->findChild<QPushButton*>(QStringLiteral("BackToRun")),
                        Qt::Key_Space);
        QTest::keyClick(const_cast<QTableWidget*>(answers), Qt::Key_Escape);
        QCOMPARE(window->tabs()->currentWidget(), window->runsPage());
    }

    void aRunWhoseBaseChangedShowsNoReport() {
        const QString moved = basePath_ + QStringLiteral(".aside");
        QVERIFY(QFile::rename(basePath_, moved));
        standardBase(2, 3).write(basePath_); // another base of the same name
        auto window = newWindow();
        window->openRun(QStringLiteral("e1"));
        QVERIFY(window->runPage()->basePath().isEmpty());
        QVERIFY(!window->findChild<QPushButton*>(QStringLiteral("ShowReport"))->isEnabled());
        QCOMPARE(window->findChild<QTableWidget*>(QStringLiteral("AnswersTable"))->rowCount(), 4);
        QFile::remove(basePath_);
        QVERIFY(QFile::rename(moved, basePath_));
    }

    void analysisShowsTheJournalsFigures() {
        auto window = newWindow();
        auto* bases = window->findChild<QComboBox*>(QStringLiteral("BaseFilter"));
        QCOMPARE(bases->count(), 2);
        bases->setCurrentIndex(1);
        QTest::keyClick(window.get(), Qt::Key_3, Qt::ControlModifier);
        QCOMPARE(window->tabs()->currentWidget(), window->analysisPage());
        const auto* items = window->findChild<QTableWidget*>(QStringLiteral("ItemTable"));

        // The figures of korvelbase journal stats on the same journal.
        QProcess tool;
        tool.start(QStringLiteral(KORVELBASE_PATH),
                   {"journal", "stats", "--base", basePath_, "--json", "--journal", journalPath_});
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), 0);
        const QJsonObject stats = QJsonDocument::fromJson(tool.readAllStandardOutput()).object();
        QCOMPARE(stats.value("runs").toInt(), 5);
        QCOMPARE(window->analysisPage()->analysis()->runs, 5);
        const QJsonArray questions = stats.value("questions").toArray();
        QCOMPARE(items->rowCount(), int(questions.size()));
        const auto figure = [](const QJsonValue& value) {
            return value.isNull() ? std::optional<double>() : std::optional(value.toDouble());
        };
        bool flaggedPart = true;
        for (int row = 0; row < items->rowCount(); ++row) {
            // Flagged questions first, then the rest in the base's order.
            const bool flagged = !cellText(items, row, 12).isEmpty();
            if (!flagged)
                flaggedPart = false;
            else
                QVERIFY2(flaggedPart, "a flagged question after an unflagged one");
            const auto stat =
                std::find_if(questions.begin(), questions.end(), [&](const QJsonValue& q) {
                    return q["ticket"].toInt() == cellText(items, row, 0).toInt() &&
                           q["question"].toInt() == cellText(items, row, 1).toInt();
                });
            QVERIFY(stat != questions.end());
            const QJsonObject q = stat->toObject();
            QCOMPARE(cellText(items, row, 2).toInt(), q["presented"].toInt());
            QCOMPARE(cellText(items, row, 3).toInt(), q["answered"].toInt());
            QCOMPARE(cellText(items, row, 4).toInt(), q["right"].toInt());
            QCOMPARE(cellText(items, row, 5), figureText(figure(q["facility"])));
            QCOMPARE(cellText(items, row, 6), figureText(figure(q["discrimination"])));
            for (int k = 0; k < 5; ++k)
                QCOMPARE(cellText(items, row, 7 + k).toInt(), q["choices"].toArray().at(k).toInt());
            QStringList flags;
            for (const QJsonValue& flag : q["flags"].toArray())
                flags << flag.toString();
            QCOMPARE(cellText(items, row, 12), flagsText(flags));
            // Worked by hand: 1.2 was answered right by e1, e4, e5 of e1..e5.
            if (q["ticket"].toInt() == 1 && q["question"].toInt() == 2)
                QCOMPARE(cellText(items, row, 5), QStringLiteral("0,60"));
        }

        // A filter narrows the analysis too: Ivanovs only.
        auto* search = window->findChild<QLineEdit*>(QStringLiteral("ExamineeSearch"));
        search->setText(QStringLiteral("иванов"));
        QTest::keyClick(search, Qt::Key_Return);
        QVERIFY(window->analysisPage()->analysis());
        QCOMPARE(window->analysisPage()->analysis()->runs, 2);

        // The plot as PNG.
        const QString png = dir_.filePath(QStringLiteral("grades.png"));
        nextSavePath_ = png;
        window->findChild<QPushButton*>(QStringLiteral("SavePlot"))->click();
        QCOMPARE(requests_.last().proposedName, QStringLiteral("grades.png"));
        QImageReader reader(png);
        QCOMPARE(reader.format(), QByteArray("png"));
        QVERIFY(reader.size().width() >= 200);
    }

    void csvHoldsTheRunsTheTableShows() {
        auto window = newWindow();
        auto* kinds = window->findChild<QComboBox*>(QStringLiteral("KindFilter"));
        kinds->setCurrentIndex(kinds->findData(QStringLiteral("exam")));
        auto* results = window->findChild<QComboBox*>(QStringLiteral("ResultFilter"));
        results->setCurrentIndex(results->findData(false));
        const QStringList ids = shownIds(window->runsPage()->model());
        QCOMPARE(ids, (QStringList{"e5", "e4", "e3"}));

        const QString csv = dir_.filePath(QStringLiteral("runs.csv"));
        nextSavePath_ = csv;
        window->findChild<QPushButton*>(QStringLiteral("ExportRuns"))->click();
        const QStringList lines =
            QString::fromUtf8(fileBytes(csv)).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), ids.size() + 1);
        QVERIFY(fileBytes(csv).startsWith("\xEF\xBB\xBFrun_id,"));
        for (int i = 0; i < ids.size(); ++i)
            QVERIFY(lines.at(i + 1).startsWith(ids.at(i) + u','));

        const QString answers = dir_.filePath(QStringLiteral("answers.csv"));
        nextSavePath_ = answers;
        window->findChild<QPushButton*>(QStringLiteral("ExportAnswers"))->click();
        // e5 two answers, e4 and e3 four each.
        QCOMPARE(QString::fromUtf8(fileBytes(answers)).count(QStringLiteral("\r\n")), 1 + 10);
    }

    void stateIsKeptBetweenTwoWindows() {
        {
            auto window = newWindow();
            window->resize(1050, 640);
            auto* search = window->findChild<QLineEdit*>(QStringLiteral("ExamineeSearch"));
            search->setText(QStringLiteral("ов"));
            QTest::keyClick(search, Qt::Key_Return);
            auto* grades = window->findChild<QComboBox*>(QStringLiteral("GradeFilter"));
            grades->setCurrentIndex(grades->findData(2));
            window->findChild<QDateEdit*>(QStringLiteral("SinceDate"))->setDate(QDate(2026, 11, 8));
            window->findChild<QCheckBox*>(QStringLiteral("SinceOn"))->setChecked(true);
            window->runsPage()->table()->setColumnWidth(RunsModel::Examinee, 333);
            window->runsPage()->table()->horizontalHeader()->setSortIndicator(RunsModel::Examinee,
                                                                              Qt::AscendingOrder);
            QCOMPARE(shownIds(window->runsPage()->model()), (QStringList{"e5", "e3", "e4"}));
            window->close();
        }
        auto window = newWindow();
        QCOMPARE(window->size(), QSize(1050, 640));
        QCOMPARE(window->findChild<QLineEdit*>(QStringLiteral("ExamineeSearch"))->text(),
                 QStringLiteral("ов"));
        QCOMPARE(window->findChild<QComboBox*>(QStringLiteral("GradeFilter"))->currentData(),
                 QVariant(2));
        QVERIFY(window->findChild<QCheckBox*>(QStringLiteral("SinceOn"))->isChecked());
        QCOMPARE(window->runsPage()->table()->columnWidth(RunsModel::Examinee), 333);
        QCOMPARE(shownIds(window->runsPage()->model()), (QStringList{"e5", "e3", "e4"}));
    }

    void aMissingOrDamagedJournalLeavesAnEmptyWindow_data() {
        QTest::addColumn<QString>(
            "content"); // "none": no file; "foreign": another program's database
        QTest::addColumn<int>("kind");
        QTest::newRow("missing") << "none" << int(MessageKind::Information);
        QTest::newRow("not a database")
            << QString("no journal\n").repeated(300) << int(MessageKind::Error);
        QTest::newRow("another program's database") << "foreign" << int(MessageKind::Error);
    }
    void aMissingOrDamagedJournalLeavesAnEmptyWindow() {
        QFETCH_GLOBAL(bool, onServer);
        if (onServer)
            QSKIP("the server is read instead of any file");
        QFETCH(QString, content);
        QFETCH(int, kind);
        const QString path =
            dir_.filePath(QStringLiteral("bad-%1/journal.sqlite").arg(QTest::currentDataTag()));
        QDir().mkpath(QFileInfo(path).path());
        if (content == QLatin1String("foreign")) {
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "foreign");
                db.setDatabaseName(path);
                QVERIFY(db.open());
                QVERIFY(QSqlQuery(db).exec(QStringLiteral("CREATE TABLE notes (text TEXT)")));
                db.close();
            }
            QSqlDatabase::removeDatabase(QStringLiteral("foreign"));
        } else if (content != QLatin1String("none")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content.toUtf8());
        }
        const QByteArray before = fileBytes(path);
        settings_->setValue(QStringLiteral("JournalFile"), path);
        auto window = newWindow();
        QCOMPARE(boxes_.shown().size(), 1);
        QCOMPARE(int(boxes_.shown().first().kind), kind);
        QVERIFY(boxes_.shown().first().text.contains(QDir::toNativeSeparators(path)));
        QCOMPARE(window->runsPage()->model()->rowCount(), 0);
        QVERIFY(window->isEnabled());
        // Never changed, never moved aside, nothing created beside it.
        QCOMPARE(fileBytes(path), before);
        QCOMPARE(QDir(QFileInfo(path).path()).entryList(QDir::Files).size(),
                 content == QLatin1String("none") ? 0 : 1);
        // Every part of the window stays usable on the empty journal.
        QTest::keyClick(window.get(), Qt::Key_3, Qt::ControlModifier);
        QCOMPARE(window->tabs()->currentWidget(), window->analysisPage());
        QTest::keyClick(window->runsPage()->table(), Qt::Key_Return);
        QCOMPARE(boxes_.shown().size(), 1);
    }

    void aServerThatCannotBeReadLeavesAnEmptyWindow_data() {
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("words"); // in the message
        QTest::newRow("a station's login") << "station"
                                           << "korvel_viewer";
        QTest::newRow("a wrong password") << "guess"
                                          << "password";
        QTest::newRow("nobody listening") << "closed"
                                          << "127.0.0.1";
    }
    void aServerThatCannotBeReadLeavesAnEmptyWindow() {
        QFETCH_GLOBAL(bool, onServer);
        if (!onServer)
            QSKIP("a server case");
        QFETCH(QString, login);
        QFETCH(QString, words);
        QString server =
            login == QLatin1String("station") ? stationLogin()
            : login == QLatin1String("guess")
                ? server_.connection(QStringLiteral("viewer1"), QStringLiteral("guess"))
                : QStringLiteral("host=127.0.0.1 port=1 dbname=korvel user=viewer1");
        settings_->setValue(QStringLiteral("JournalServer"), server);
        auto window = newWindow();
        QCOMPARE(boxes_.shown().size(), 1);
        const ScriptedMessageBoxes::Shown& box = boxes_.shown().first();
        QCOMPARE(box.kind, MessageKind::Error);
        QVERIFY2(box.text.contains(words), qPrintable(box.text));
        QVERIFY2(!box.text.contains(QLatin1String("guess")), "a password in the message");
        QVERIFY(!window->journal());
        QCOMPARE(window->runsPage()->model()->rowCount(), 0);
        QTest::keyClick(window.get(), Qt::Key_3, Qt::ControlModifier);
        QTest::keyClick(window->runsPage()->table(), Qt::Key_Return);
        QCOMPARE(boxes_.shown().size(), 1);
    }

    void everyControlHasAnAccessibleName() {
        auto window = newWindow();
        window->openRun(QStringLiteral("e1"));
        QStringList unnamed;
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            const bool control =
                qobject_cast<QAbstractButton*>(widget) || qobject_cast<QComboBox*>(widget) ||
                qobject_cast<QAbstractSpinBox*>(widget) ||
                qobject_cast<QAbstractItemView*>(widget) || qobject_cast<QLineEdit*>(widget);
            // The parts Qt builds inside a control (header views, corner
            // buttons, a line edit's clear button, the calendar pop-up)
            // speak for it.
            QWidget* parent = widget->parentWidget();
            const bool part =
                qobject_cast<QHeaderView*>(widget) || qobject_cast<QAbstractItemView*>(parent) ||
                qobject_cast<QLineEdit*>(parent) || qobject_cast<QAbstractSpinBox*>(parent) ||
                qobject_cast<QComboBox*>(parent) || widget->window() != window.get();
            if (control && !part && widget->accessibleName().isEmpty())
                unnamed << QStringLiteral("%1 %2").arg(
                    QLatin1String(widget->metaObject()->className()), widget->objectName());
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
    }

    void theWindowNeverChangesTheJournal() {
        const QByteArray before =
            QCryptographicHash::hash(fileBytes(journalPath_), QCryptographicHash::Sha256);
        {
            auto window = newWindow();
            window->openRun(QStringLiteral("e3"));
            window->tabs()->setCurrentIndex(2);
            window->close();
        }
        QCOMPARE(QCryptographicHash::hash(fileBytes(journalPath_), QCryptographicHash::Sha256),
                 before);
    }
};

QTEST_MAIN(JournalWindowTest)
#include "tst_journal_window.moc"
