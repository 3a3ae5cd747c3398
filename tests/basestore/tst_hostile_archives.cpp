// Archives that once crashed the reader (fuzzer findings) must now read as
// plain failures.
#include "basestore/base_catalogue.h"
#include "basestore/question_record.h"
#include "basestore/record_container.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace korvel;

class HostileArchivesTest : public QObject {
    Q_OBJECT

private slots:
    void readWithoutCrashing_data() {
        QTest::addColumn<QString>("file");
        const QDir dir(QStringLiteral(REGRESSIONS_DIR));
        const QStringList files = dir.entryList(QDir::Files);
        QVERIFY(!files.isEmpty());
        for (const QString& name : files)
            QTest::newRow(qPrintable(name)) << dir.filePath(name);
    }

    void readWithoutCrashing() {
        QFETCH(QString, file);
        QTemporaryDir base;
        const QString path = QDir(base.path()).filePath("base.zip");
        QVERIFY(QFile::copy(file, path));

        Archiver archiver;
        buildCatalogue(archiver, base.path());
        OpenedBase opened = openBase(archiver, path);
        QVERIFY(!archiver.isOpen());
        if (!opened.usable())
            return;
        for (int q = 1; q <= std::min(opened.counts.questionsPerTicket, 3); ++q) {
            try {
                ByteStream record = ReadQuestionRecord(archiver, path, 1, q);
                readQuestionKeys(record);
            } catch (const std::runtime_error&) {
            }
            QVERIFY(!archiver.isOpen());
        }
    }
};

QTEST_GUILESS_MAIN(HostileArchivesTest)
#include "tst_hostile_archives.moc"
