// An exam sat through the real window with a centre's server set: its rows
// reach the server as they are recorded, and the examinee is told nothing.
#include "tests/app/window_fixture.h"
#include "tests/journal/delivery_fixture.h"

#include <QLineEdit>

using namespace korvel;
using namespace korvel::test;

class JournalServerRunTest : public QObject, public WindowFixture {
    Q_OBJECT

    PostgresServer server_;

private slots:
    void initTestCase() {
        const QString missing = PostgresServer::unavailable();
        if (!missing.isEmpty())
            QSKIP(qPrintable(missing));
        QString problem;
        QVERIFY2(prepareServer(server_, problem), qPrintable(problem));
    }

    void examArrivesRowByRow() {
        setUpWindow();
        settings_->setValue("JournalServer",
                            server_.connection(QStringLiteral("station1"), StationPassword));
        start();
        draws_ = {1, 2, 0};
        dialog_ = [](QDialog& dialog) {
            typeText(inside<QLineEdit>(&dialog, "spSkinEdit1"), QStringLiteral("Петров П. П."));
            QTest::mouseClick(inside<QPushButton>(&dialog, "spSkinButton1"), Qt::LeftButton);
        };
        click("spSkinButton12");
        answer(true);
        QTRY_COMPARE_WITH_TIMEOUT(server_.count("SELECT count(*) FROM answers"), 1, 15000);
        QCOMPARE(server_.count("SELECT count(*) FROM runs WHERE ended_at IS NULL AND "
                               "examinee = 'Петров П. П.'"),
                 1);
        for (int k = 1; k < 15; ++k)
            answer(k % 4 != 0);
        QTRY_COMPARE_WITH_TIMEOUT(server_.count("SELECT count(*) FROM runs WHERE ended_by = "
                                                "'last_answer' AND grade IS NOT NULL"),
                                  1, 15000);
        QCOMPARE(server_.count("SELECT count(*) FROM answers"), 15);
        Connection local(QStringLiteral("QSQLITE"), journalPath());
        Connection remote(QStringLiteral("QPSQL"), server_.adminConnection());
        for (const JournalTable* table : {&answersTable(), &presentedTable()})
            QCOMPARE(tableRows(remote.db(), *table), tableRows(local.db(), *table));
        QVERIFY(boxes_->shown().isEmpty());
        tearDownWindow();
    }
};

QTEST_MAIN(JournalServerRunTest)
#include "tst_journal_server_run.moc"
