#include "basestore/base_archive.h"
#include "zip_fixture.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace korvel;

class BaseArchiveTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString path(const QString& name) const { return dir_.filePath(name); }

    ByteStream read(const QString& archive, const QString& entry) {
        Archiver archiver;
        return readArchiveEntry(archiver, archive, entry);
    }

private slots:
    void listing() {
        QDir base(path("Base"));
        QVERIFY(QDir().mkpath(base.path()));
        for (const char* name :
             {"b.zip", "LIST.ZIP", ".hidden.zip", "a.Zip", "notes.txt", "zip", "archive.zip.bak"}) {
            QFile file(base.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QVERIFY(base.mkdir("x.zip"));
        const QStringList expected{".hidden.zip", "a.Zip", "b.zip", "LIST.ZIP"};
        QStringList listed = listBaseArchives(base.path());
        QStringList sorted = listed;
        sorted.sort(Qt::CaseInsensitive);
        QCOMPARE(sorted, expected);
        QCOMPARE(listBaseArchives(base.path()), listed);
        QVERIFY(listBaseArchives(path("missing")).isEmpty());
    }

    void entryNames_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("wanted");
        QTest::addColumn<bool>("found");
        QTest::newRow("slash, same case") << QByteArray("B3/T.7") << "B3\\T.7" << true;
        QTest::newRow("lower case stored") << QByteArray("b3/t.7") << "B3\\T.7" << true;
        QTest::newRow("backslash stored") << QByteArray("B3\\T.7") << "B3\\T.7" << true;
        QTest::newRow("backslash both, other case") << QByteArray("b3\\t.7") << "B3/T.7" << true;
        QTest::newRow("other folder") << QByteArray("x/B3/T.7") << "B3\\T.7" << false;
        QTest::newRow("prefix only") << QByteArray("B3/T.77") << "B3\\T.7" << false;
        QTest::newRow("longer wanted") << QByteArray("B3/T.7") << "B3\\T.77" << false;
        QTest::newRow("other question") << QByteArray("B3/T.1") << "B3\\T.7" << false;
    }

    void entryNames() {
        QFETCH(QByteArray, stored);
        QFETCH(QString, wanted);
        QFETCH(bool, found);
        const QString archive = path("names.zip");
        QVERIFY(writeZip(archive, {{"other", "x"}, {stored, "text of 3.7"}}));
        try {
            QCOMPARE(read(archive, wanted).bytes(), QByteArray("text of 3.7"));
            QVERIFY(found);
        } catch (const ArchiveError&) {
            QVERIFY(!found);
        }
    }

    void storedAndDeflatedEntries() {
        QByteArray big;
        for (int k = 0; k < 100000; ++k)
            big += char('a' + k % 26);
        const QString archive = path("kinds.zip");
        QVERIFY(writeZip(
            archive,
            {{"stored", big, false}, {"deflated", big, true}, {"empty", QByteArray(), true}}));
        QCOMPARE(read(archive, "stored").bytes(), big);
        QCOMPARE(read(archive, "deflated").bytes(), big);
        const ByteStream empty = read(archive, "empty");
        QVERIFY(empty.isEmpty());
        QCOMPARE(empty.position(), 0);
    }

    void oneArchiveAtATime() {
        const QString first = path("first.zip");
        const QString second = path("second.zip");
        QVERIFY(writeZip(first, {{"base.dni", "one"}}));
        QVERIFY(writeZip(second, {{"base.dni", "two"}}));
        Archiver archiver;
        archiver.setFileName(first);
        archiver.ArchiveOpen();
        archiver.setFileName(second);
        archiver.ArchiveOpen();
        ByteStream stream;
        archiver.ArchiveEntryToStream("base.dni", stream);
        QCOMPARE(stream.bytes(), QByteArray("two"));
        archiver.ArchiveClose();
        QVERIFY(!archiver.isOpen());
        archiver.ArchiveClose();
        QVERIFY_THROWS_EXCEPTION(ArchiveError, archiver.ArchiveEntryToStream("base.dni", stream));
    }

    void unreadableArchives_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("exists");
        QTest::newRow("missing file") << QByteArray() << false;
        QTest::newRow("empty file") << QByteArray() << true;
        QTest::newRow("garbage") << QByteArray(5000, 'g') << true;
        QTest::newRow("zip signature only") << QByteArray("PK\x03\x04garbage") << true;
    }

    void unreadableArchives() {
        QFETCH(QByteArray, content);
        QFETCH(bool, exists);
        const QString archive = path("bad.zip");
        QFile::remove(archive);
        if (exists) {
            QFile file(archive);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        Archiver archiver;
        archiver.setFileName(archive);
        QVERIFY_THROWS_EXCEPTION(ArchiveError, archiver.ArchiveOpen());
        QVERIFY(!archiver.isOpen());
        archiver.setFileName(QString());
        QVERIFY_THROWS_EXCEPTION(ArchiveError, archiver.ArchiveOpen());
    }

    void truncatedArchiveFails() {
        const QString archive = path("truncated.zip");
        QByteArray text(50000, 'q');
        QVERIFY(writeZip(archive, {{"base.dni", text, false}}));
        QFile file(archive);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.resize(file.size() / 2));
        file.close();
        QVERIFY_THROWS_EXCEPTION(ArchiveError, read(archive, "base.dni"));
    }

    void damagedDataIsAnError_data() {
        QTest::addColumn<bool>("deflate");
        QTest::newRow("stored: CRC mismatch") << false;
        QTest::newRow("deflated: damaged stream") << true;
    }

    void damagedDataIsAnError() {
        QFETCH(bool, deflate);
        const QString archive = path("damaged.zip");
        QByteArray text;
        for (int k = 0; k < 4000; ++k)
            text += QByteArray::number(k * 7919 % 1000);
        QVERIFY(writeZip(archive, {{"B1/V.1", text, deflate}}));
        QFile file(archive);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QByteArray raw = file.readAll();
        const qsizetype dataStart = 30 + 6; // local header and the name
        for (qsizetype k = dataStart + 100; k < dataStart + 110; ++k)
            raw[k] = char(raw[k] ^ 0x5a);
        file.seek(0);
        file.write(raw);
        file.close();
        QVERIFY_THROWS_EXCEPTION(ArchiveError, read(archive, "B1\\V.1"));
    }

    // A small file that inflates past the limit is refused from its header,
    // before anything is inflated.
    void entryAboveTheSizeLimitIsRefused() {
        const QString archive = path("bomb.zip");
        QVERIFY(writeZip(archive, {{"base.dni", QByteArray(MaxEntrySize + 1, '\0')},
                                   {"small", QByteArray(MaxEntrySize / 1024, '\0')}}));
        QVERIFY(QFileInfo(archive).size() < 1024 * 1024);
        QVERIFY_THROWS_EXCEPTION(ArchiveError, read(archive, "base.dni"));
        QCOMPARE(read(archive, "small").size(), MaxEntrySize / 1024);
    }
};

QTEST_GUILESS_MAIN(BaseArchiveTest)
#include "tst_base_archive.moc"
