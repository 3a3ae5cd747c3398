// One workstation without its window, for the load test: records runs
// through the journal's own interface while its sender delivers them, then
// waits until nothing is left to send.
// Usage: journal_station JOURNAL SERVER RUNS ANSWERS
#include "delivery_fixture.h"
#include "journal/journal_sender.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <cstdio>

using namespace korvel;

namespace {

qint64 waiting(const QString& path) {
    test::Connection local(QStringLiteral("QSQLITE"), path);
    QSqlQuery query(local.db());
    return query.exec(QStringLiteral("SELECT count(*) FROM delivery WHERE end_sent = 0")) &&
                   query.next()
               ? query.value(0).toLongLong()
               : -1;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 5) {
        std::fprintf(stderr, "usage: journal_station JOURNAL SERVER RUNS ANSWERS\n");
        return 2;
    }
    const QString path = arguments[1];
    const int runs = arguments[3].toInt();
    const int answers = arguments[4].toInt();
    QElapsedTimer clock;
    clock.start();
    auto journal =
        Journal::open(path, QStringLiteral("station-%1").arg(QCoreApplication::applicationPid()),
                      QStringLiteral("examinee"));
    if (!journal->recording()) {
        std::fprintf(stderr, "%s\n", qPrintable(journal->problem()));
        return 1;
    }
    JournalSender sender(path, arguments[2], {200, 100, 2000, 50});
    for (int k = 0; k < runs; ++k) {
        test::recordRun(*journal, answers, true, k);
        sender.wake();
    }
    const qint64 recorded = clock.elapsed();
    for (int k = 0; k < 1200 && waiting(path) != 0; ++k)
        QThread::msleep(100);
    const qint64 left = waiting(path);
    std::printf("recorded %lld ms, drained %lld ms, waiting %lld%s%s\n", recorded, clock.elapsed(),
                left, left ? ": " : "", qPrintable(sender.problem()));
    return left == 0 ? 0 : 1;
}
