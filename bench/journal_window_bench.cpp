// The journal window on a generated journal of 100,000 runs (4 answers each,
// 200 examinees, 3 bases, a year of dates): the first screen (window built,
// journal opened, the visible rows read), a filter change, a sort change and
// jumps to the middle and the end of the table, each the median of a few
// tries. Goals: first screen under 1 s, filter change under 0.5 s.
//
//   build/bench/journal_window_bench [--server] [runs [journal]]
//
// A journal file named on the command line is generated once and then reused.
// With --server the journal is delivered to a PostgreSQL server of the
// bench's own and the window reads it there with the viewer's login.

#include "journal/journal.h"
#include "journal/journal_delivery.h"
#include "platform/message_boxes.h"
#include "tests/journal/delivery_fixture.h"
#include "viewer/journal_window.h"
#include "viewer/runs_model.h"
#include "viewer/runs_page.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace korvel;

namespace {

constexpr int Samples = 5;

// Straight into the tables in one transaction: the Journal API commits each
// call durably, which is right for a run and far too slow for 100,000.
bool generate(const QString& path, int runs) {
    Journal::open(path, QStringLiteral("bench"), QStringLiteral("bench")).reset();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "generate");
        db.setDatabaseName(path);
        if (!db.open())
            return false;
        QSqlQuery q(db);
        q.exec(QStringLiteral("PRAGMA synchronous = OFF"));
        q.exec(QStringLiteral("BEGIN"));
        QSqlQuery run(db), answer(db), shown(db);
        run.prepare(QStringLiteral(
            "INSERT INTO runs (run_id, station, os_user, examinee, kind, base_file, base_name, "
            "base_sha256, tickets, questions_per_ticket, time_limit_s, started_at, last_seen_at, "
            "ended_at, ended_by, total, right_count, wrong_count, unanswered, percent, grade, "
            "result_text) VALUES (?, ?, 'user', ?, ?, ?, ?, ?, '1;2', 2, 900, ?, ?, ?, "
            "'last_answer', 4, ?, ?, 0, ?, ?, 'Оценка')"));
        answer.prepare(QStringLiteral(
            "INSERT INTO answers (run_id, seq, ticket, question, chosen, \"right\", correct, "
            "shown_at, answered_at, ms_on_question, elapsed_s) VALUES (?, ?, ?, ?, ?, '1', ?, "
            "?, ?, 5000, 0)"));
        shown.prepare(QStringLiteral("INSERT INTO presented (run_id, ticket, question, "
                                     "\"right\", first_shown_at) VALUES (?, ?, ?, '1', ?)"));
        const QDateTime start(QDate(2026, 1, 1), QTime(8, 0), Qt::UTC);
        const QStringList kinds = {"exam", "exam", "preparation", "work_on_errors"};
        for (int i = 0; i < runs; ++i) {
            const QString id = QStringLiteral("run-%1").arg(i, 6, 10, QLatin1Char('0'));
            const QString at = start.addSecs(qint64(i) * 300).toString(Qt::ISODateWithMs);
            const int base = i % 3;
            int right = 0;
            for (int k = 1; k <= 4; ++k) {
                const bool correct = (i * 7 + k * 3) % 5 != 0;
                right += correct ? 1 : 0;
                answer.addBindValue(id);
                answer.addBindValue(k);
                answer.addBindValue(1 + (k - 1) / 2);
                answer.addBindValue(1 + (k - 1) % 2);
                answer.addBindValue(correct ? QStringLiteral("1") : QStringLiteral("2"));
                answer.addBindValue(correct ? 1 : 0);
                answer.addBindValue(at);
                answer.addBindValue(at);
                answer.exec();
                shown.addBindValue(id);
                shown.addBindValue(1 + (k - 1) / 2);
                shown.addBindValue(1 + (k - 1) % 2);
                shown.addBindValue(at);
                shown.exec();
            }
            const int percent = 25 * right;
            run.addBindValue(id);
            run.addBindValue(QStringLiteral("station-%1").arg(i % 12));
            run.addBindValue(QStringLiteral("Сотрудник %1").arg(i % 200));
            run.addBindValue(kinds.at(i % 4));
            run.addBindValue(QStringLiteral("base%1.zip").arg(base));
            run.addBindValue(QStringLiteral("База %1").arg(base));
            run.addBindValue(QString(64, QChar(u'a' + base)));
            run.addBindValue(at);
            run.addBindValue(at);
            run.addBindValue(at);
            run.addBindValue(right);
            run.addBindValue(4 - right);
            run.addBindValue(percent);
            run.addBindValue(percent > 80 ? 5 : percent > 60 ? 4 : percent > 50 ? 3 : 2);
            if (!run.exec())
                return false;
        }
        q.exec(QStringLiteral("COMMIT"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("generate"));
    return true;
}

double medianMs(const std::function<void()>& step) {
    std::vector<double> times;
    for (int i = 0; i < Samples; ++i) {
        QElapsedTimer timer;
        timer.start();
        step();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// What painting the visible rows reads: every cell of them.
void readVisibleRows(QTableView* table) {
    const QAbstractItemModel* model = table->model();
    const int first = table->rowAt(0) < 0 ? 0 : table->rowAt(0);
    const int last = std::min(model->rowCount(), first + 40);
    for (int row = first; row < last; ++row)
        for (int column = 0; column < model->columnCount(); ++column)
            model->index(row, column).data();
    QCoreApplication::processEvents();
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QStringList arguments = application.arguments().mid(1);
    const bool onServer = arguments.removeAll(QStringLiteral("--server")) > 0;
    const int runs = arguments.size() > 0 ? std::max(1, arguments.at(0).toInt()) : 100000;
    QTemporaryDir dir;
    const QString path =
        arguments.size() > 1 ? arguments.at(1) : dir.filePath(QStringLiteral("journal.sqlite"));
    QElapsedTimer timer;
    timer.start();
    if (!QFileInfo::exists(path)) {
        if (!generate(path, runs)) {
            std::fprintf(stderr, "could not generate the journal\n");
            return 1;
        }
        std::printf("journal of %d runs generated in %.1f s\n", runs, timer.elapsed() / 1000.0);
    }

    QSettings settings(dir.filePath(QStringLiteral("settings.ini")), QSettings::IniFormat);
    settings.setValue(QStringLiteral("JournalFile"), path);
    PostgresServer server;
    if (onServer) {
        QString problem = PostgresServer::unavailable();
        if (problem.isEmpty())
            test::prepareServer(server, problem);
        timer.restart();
        JournalDelivery delivery(
            path, server.connection(QStringLiteral("station1"), test::StationPassword));
        DeliveryProgress progress;
        if (!problem.isEmpty() || !delivery.deliverAll(1000, progress)) {
            std::fprintf(stderr, "no server: %s\n",
                         qPrintable(problem.isEmpty() ? delivery.problem() : problem));
            return 1;
        }
        std::printf("%d runs delivered to the server in %.1f s\n", progress.runs,
                    timer.elapsed() / 1000.0);
        settings.setValue(QStringLiteral("JournalServer"),
                          server.connection(QStringLiteral("viewer1"), test::ViewerPassword));
    }
    ScriptedMessageBoxes boxes;
    ViewerEnvironment environment;
    environment.programFolder = dir.path();
    environment.settings = &settings;
    environment.boxes = &boxes;

    const double first = medianMs([&] {
        JournalWindow window(environment);
        window.show();
        readVisibleRows(window.runsPage()->table());
    });
    JournalWindow window(environment);
    window.show();
    RunsPage* page = window.runsPage();
    QTableView* table = page->table();
    auto* search = page->findChild<QLineEdit*>(QStringLiteral("ExamineeSearch"));
    auto* kind = page->findChild<QComboBox*>(QStringLiteral("KindFilter"));
    int flip = 0;
    const double filter = medianMs([&] {
        search->setText(flip++ % 2 ? QStringLiteral("сотрудник 1") : QStringLiteral("17"));
        QTest::keyClick(search, Qt::Key_Return);
        readVisibleRows(table);
    });
    const int filtered = page->model()->rowCount();
    search->clear();
    QTest::keyClick(search, Qt::Key_Return);
    const double kindChange = medianMs([&] {
        kind->setCurrentIndex(1 + flip++ % 3);
        readVisibleRows(table);
    });
    kind->setCurrentIndex(0);
    const double sort = medianMs([&] {
        table->horizontalHeader()->setSortIndicator(
            RunsModel::Examinee, flip++ % 2 ? Qt::AscendingOrder : Qt::DescendingOrder);
        readVisibleRows(table);
    });
    const double middle = medianMs([&] {
        table->verticalScrollBar()->setValue(table->verticalScrollBar()->maximum() / 2 +
                                             RunsModel::PageSize * (flip++ % 7));
        readVisibleRows(table);
    });
    const double end = medianMs([&] {
        table->scrollToBottom();
        readVisibleRows(table);
        table->scrollToTop();
        readVisibleRows(table);
    });

    std::printf("first screen:            %8.1f ms (goal < 1000)\n", first);
    std::printf("examinee filter change:  %8.1f ms (goal < 500; %d runs left)\n", filter, filtered);
    std::printf("kind filter change:      %8.1f ms (goal < 500)\n", kindChange);
    std::printf("sort by examinee:        %8.1f ms\n", sort);
    std::printf("jump to the middle:      %8.1f ms\n", middle);
    std::printf("to the end and back:     %8.1f ms\n", end);
    return boxes.shown().isEmpty() ? 0 : 1;
}
