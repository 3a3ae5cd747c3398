#include "delivery_fixture.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace korvel;
using namespace korvel::test;

// Twenty workstations at once, each with its own journal, recording and
// delivering to one server: every row arrives, once.
class JournalLoadTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_{QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                           ? QStringLiteral("/dev/shm/tst_journal_load-XXXXXX")
                           : QDir::tempPath() + QStringLiteral("/tst_journal_load-XXXXXX")};
    PostgresServer server_;

private slots:
    void initTestCase() {
        const QString missing = PostgresServer::unavailable();
        if (!missing.isEmpty())
            QSKIP(qPrintable(missing));
        QString problem;
        QVERIFY2(prepareServer(server_, problem), qPrintable(problem));
    }

    void stationsAtOnce() {
        constexpr int Stations = 20, Runs = 50, Answers = 20;
        QElapsedTimer clock;
        clock.start();
        std::vector<std::unique_ptr<QProcess>> stations;
        for (int k = 0; k < Stations; ++k) {
            auto process = std::make_unique<QProcess>();
            process->setProcessChannelMode(QProcess::MergedChannels);
            process->start(QStringLiteral(JOURNAL_STATION_PATH),
                           {dir_.filePath(QStringLiteral("ws%1.sqlite").arg(k)),
                            server_.connection(QStringLiteral("station1"), StationPassword),
                            QString::number(Runs), QString::number(Answers)});
            stations.push_back(std::move(process));
        }
        QByteArray slowest;
        for (auto& process : stations) {
            QVERIFY(process->waitForFinished(300000));
            const QByteArray said = process->readAll().trimmed();
            QVERIFY2(process->exitCode() == 0, said.constData());
            const auto drained = [](const QByteArray& line) {
                return line.mid(line.indexOf("drained ") + 8).split(' ').value(0).toLongLong();
            };
            if (slowest.isEmpty() || drained(said) > drained(slowest))
                slowest = said;
        }
        qInfo("slowest station: %s", slowest.constData());
        qInfo("%d stations x %d runs x %d answers delivered in %lld ms", Stations, Runs, Answers,
              clock.elapsed());
        const qint64 runs = Stations * Runs;
        QCOMPARE(
            server_.count(QStringLiteral("SELECT count(*) FROM runs WHERE ended_at IS NOT NULL")),
            runs);
        QCOMPARE(server_.count(QStringLiteral("SELECT count(DISTINCT station) FROM runs")),
                 qint64(Stations));
        QCOMPARE(server_.count(QStringLiteral("SELECT count(*) FROM answers")), runs * Answers);
        QCOMPARE(server_.count(QStringLiteral("SELECT count(*) FROM presented")), runs * Answers);
        // Every run whole: as many answers as it said it had.
        QCOMPARE(server_.count(QStringLiteral(
                     "SELECT count(*) FROM runs r WHERE total <> (SELECT count(*) FROM answers a "
                     "WHERE a.run_id = r.run_id)")),
                 0);
    }
};

QTEST_GUILESS_MAIN(JournalLoadTest)
#include "tst_journal_load.moc"
