#include "basestore/base_archive.h"
#include "basestore/record_container.h"
#include "tools/korvelbase/base_archive_writer.h"
#include "tools/korvelbase/record_container_writer.h"

#include <QTemporaryDir>
#include <QTest>
#include <zip.h>

using namespace korvel;

namespace {

struct StoredEntry {
    QByteArray name;
    quint16 method = 0;
};

QList<StoredEntry> storedEntries(const QString& path) {
    QList<StoredEntry> entries;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, nullptr);
    if (!archive)
        return entries;
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        zip_stat_t stat;
        zip_stat_index(archive, zip_uint64_t(i), ZIP_FL_ENC_RAW, &stat);
        entries << StoredEntry{QByteArray(stat.name), stat.comp_method};
    }
    zip_close(archive);
    return entries;
}

} // namespace

class WriterTest : public QObject {
    Q_OBJECT

private slots:
    void containerExampleByteForByte() {
        RecordContainerWriter writer;
        writer.add("Base", "Vop", "20").add("Base", "Bil", "30");
        const QByteArray expected("\0Base\0Vop\0002\00020\0Base\0Bil\0002\00030\0", 29);
        QCOMPARE(writer.bytes().size(), 29);
        QCOMPARE(writer.bytes(), expected);
        QCOMPARE(writer.bytesWithoutClosingZero(), expected.chopped(1));
    }

    void emptyContainerHasNoClosingZero() { QVERIFY(RecordContainerWriter().bytes().isEmpty()); }

    void damagedPiecesGoInAsGiven() {
        RecordContainerWriter writer;
        writer.add("a", "b", "c").addRaw("junk").addWithLengthField("a", "d", "x1", "e");
        QCOMPARE(writer.bytes(), QByteArray("\0a\0b\0001\0cjunk\0a\0d\0x1\0e\0", 22));
    }

    void zeroBytesAreRefused_data() {
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("empty section") << QByteArray() << QByteArray("k") << QByteArray("v");
        QTest::newRow("empty key") << QByteArray("s") << QByteArray() << QByteArray("v");
        QTest::newRow("zero in key") << QByteArray("s") << QByteArray("k\0k", 3) << QByteArray();
        QTest::newRow("zero in value")
            << QByteArray("s") << QByteArray("k") << QByteArray("v\0v", 3);
    }
    void zeroBytesAreRefused() {
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, value);
        RecordContainerWriter writer;
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, writer.add(section, key, value));
        QVERIFY(writer.isEmpty());
    }

    // A value of any size reads back through the program's own lookup.
    void valuesReadBackThroughTheReader_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("cp1251 with CR LF") << QByteArray("\xCF\xF0\xE8\r\n\xE2\xE5\xF2");
        QTest::newRow("20 KiB") << QByteArray(20 * 1024, 'z');
    }
    void valuesReadBackThroughTheReader() {
        QFETCH(QByteArray, value);
        RecordContainerWriter writer;
        writer.add("s", "first", "1").add("s", "key", value).add("s", "last", "2");
        ByteStream stream(writer.bytes());
        QCOMPARE(ReadRecordText("s", "key", stream), value);
        QCOMPARE(ReadRecordText("s", "last", stream), QByteArray("2"));
    }

    void archiveNamesAndCompressionAreKept() {
        QTemporaryDir dir;
        const QString path = dir.filePath("names.zip");
        BaseArchiveWriter writer;
        const QByteArray zeros(100000, '\0');
        writer.addEntry("B1\\T.1", zeros, EntryCompression::Stored);
        writer.addEntry("b1/v.1", zeros, EntryCompression::Deflated);
        writer.addEntry("base.dni", "x");
        writer.write(path);

        const QList<StoredEntry> entries = storedEntries(path);
        QCOMPARE(entries.size(), 3);
        QCOMPARE(entries[0].name, QByteArray("B1\\T.1"));
        QCOMPARE(entries[0].method, quint16(ZIP_CM_STORE));
        QCOMPARE(entries[1].name, QByteArray("b1/v.1"));
        QCOMPARE(entries[1].method, quint16(ZIP_CM_DEFLATE));
        QVERIFY(QFileInfo(path).size() < 2 * zeros.size());

        Archiver archiver;
        QCOMPARE(readArchiveEntry(archiver, path, "B1/t.1").bytes(), zeros);
        QCOMPARE(readArchiveEntry(archiver, path, "B1\\V.1").bytes(), zeros);
    }

    void emptyArchiveOpens() {
        QTemporaryDir dir;
        const QString path = dir.filePath("empty.zip");
        BaseArchiveWriter().write(path);
        Archiver archiver;
        QVERIFY_THROWS_EXCEPTION(ArchiveError, readArchiveEntry(archiver, path, "base.dni"));
        archiver.setFileName(path);
        archiver.ArchiveOpen();
        QVERIFY(archiver.isOpen());
        archiver.ArchiveClose();
    }

    void unwritablePathThrows() {
        BaseArchiveWriter writer;
        writer.addEntry("a", "b");
        QVERIFY_THROWS_EXCEPTION(ArchiveWriteError, writer.write("/nonexistent/dir/base.zip"));
    }
};

QTEST_GUILESS_MAIN(WriterTest)
#include "tst_korvelbase_writer.moc"
