// Delivery of a journal's backlog to a PostgreSQL server on this machine:
// 1,000 waiting runs of 20 answers (goal: under 10 s). The server is one of
// the tests' own, with fsync on, as a centre's would be.
#include "journal/journal.h"
#include "journal/journal_delivery.h"
#include "tests/journal/delivery_fixture.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>

using namespace korvel;

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    constexpr int Runs = 1000, Answers = 20;
    const QString missing = PostgresServer::unavailable();
    if (!missing.isEmpty()) {
        std::printf("skipped: %s\n", qPrintable(missing));
        return 0;
    }
    PostgresServer server;
    QString problem;
    if (!server.start(problem, true) || !test::prepareServer(server, problem)) {
        std::fprintf(stderr, "%s\n", qPrintable(problem));
        return 1;
    }
    // Recorded in memory (each commit would wait for the disk), delivered
    // from the disk.
    QTemporaryDir scratch(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                              ? QStringLiteral("/dev/shm/journal_delivery_bench-XXXXXX")
                              : QString());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("journal.sqlite"));
    {
        const QString recorded = scratch.filePath(QStringLiteral("journal.sqlite"));
        auto journal = Journal::open(recorded, QStringLiteral("bench"), QStringLiteral("bench"));
        for (int k = 0; k < Runs; ++k)
            test::recordRun(*journal, Answers, true, k);
        journal.reset();
        QFile::copy(recorded, path);
    }
    for (const int batch : {50, 200}) {
        QString ignored;
        server.admin(QStringLiteral("TRUNCATE runs, answers, presented, interruptions"), ignored);
        {
            test::Connection local(QStringLiteral("QSQLITE"), path);
            QSqlQuery(local.db())
                .exec(QStringLiteral("UPDATE delivery SET run_sent = 0, answers_sent = 0, "
                                     "presented_sent = 0, interruptions_sent = 0, end_sent = 0"));
        }
        JournalDelivery delivery(
            path, server.connection(QStringLiteral("station1"), test::StationPassword));
        DeliveryProgress progress;
        QElapsedTimer clock;
        clock.start();
        if (!delivery.deliverAll(batch, progress)) {
            std::fprintf(stderr, "%s\n", qPrintable(delivery.problem()));
            return 1;
        }
        std::printf("%d runs x %d answers delivered in batches of %d runs: %.2f s (%lld rows on "
                    "the server)\n",
                    progress.runs, Answers, batch, clock.elapsed() / 1000.0,
                    server.count(QStringLiteral("SELECT (SELECT count(*) FROM answers) + (SELECT "
                                                "count(*) FROM presented) + (SELECT count(*) FROM "
                                                "runs)")));
    }
    return 0;
}
