// The archive reader against libzip as a reference, on archives it never
// saw before; archives written byte by byte for what libzip will not write;
// and the kept directory of an archive whose file changes or goes away.
#include "basestore/base_archive.h"
#include "zip_fixture.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <zlib.h>

using namespace korvel;

namespace {

QByteArray folded(QByteArray name) {
    for (char& c : name)
        c = c == '\\' ? '/' : char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return name;
}

// What the reader must give: the first entry whose folded name matches,
// read by libzip; nullopt when there is none or libzip fails.
std::optional<QByteArray> referenceRead(const QString& path, const QByteArray& wanted) {
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, nullptr);
    if (!archive)
        return std::nullopt;
    std::optional<QByteArray> result;
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        if (folded(zip_get_name(archive, zip_uint64_t(i), ZIP_FL_ENC_RAW)) != folded(wanted))
            continue;
        zip_stat_t stat;
        zip_file_t* file = zip_fopen_index(archive, zip_uint64_t(i), 0);
        if (file && zip_stat_index(archive, zip_uint64_t(i), 0, &stat) == 0) {
            QByteArray data(qsizetype(stat.size), '\0');
            if (zip_fread(file, data.data(), stat.size) == zip_int64_t(stat.size))
                result = data;
        }
        if (file)
            zip_fclose(file);
        break;
    }
    zip_discard(archive);
    return result;
}

std::optional<QByteArray> ourRead(Archiver& archiver, const QString& path, const QString& name) {
    try {
        return readArchiveEntry(archiver, path, name).bytes();
    } catch (const ArchiveError&) {
        return std::nullopt;
    }
}

QList<ZipEntry> randomEntries(QRandomGenerator& random) {
    static const char* const names[] = {"base.dni",      "B1/T.1",   "b1\\t.1",
                                        "B1\\V.1",       "B12/T.1",  "Skin/main.jpg",
                                        "SKIN/MAIN.JPG", "x/B1/T.1", "B1/"};
    QList<QByteArray> unused(std::begin(names), std::end(names));
    QList<ZipEntry> entries;
    // libzip refuses two entries of exactly the same name.
    for (int count = random.bounded(1, 8); count > 0; --count) {
        QByteArray data(random.bounded(0, 3000), Qt::Uninitialized);
        const bool repetitive = random.bounded(2) == 0;
        for (qsizetype i = 0; i < data.size(); ++i)
            data[i] = char(repetitive ? 'a' + i % 5 : random.bounded(256));
        const QByteArray name = unused.takeAt(random.bounded(int(unused.size())));
        entries.append({name, data, random.bounded(2) == 0});
    }
    return entries;
}

// An archive written byte by byte: one entry, its headers as given.
struct RawEntry {
    QByteArray name = "B1/T.1";
    QByteArray data = "question text";
    quint16 method = 8;
    quint16 flags = 0;
    qint64 declaredSize = -1; // the real size unless set
    bool crcRight = true;
    QByteArray localName; // the name unless set
};

QByteArray rawArchive(const RawEntry& entry, const QByteArray& comment = {}) {
    QByteArray stored = entry.data;
    if (entry.method == 8) {
        const QByteArray z = qCompress(entry.data); // size, zlib header, deflate, Adler-32
        stored = z.mid(6, z.size() - 10);
    }
    quint32 crc = quint32(
        crc32(0, reinterpret_cast<const Bytef*>(entry.data.constData()), uInt(entry.data.size())));
    if (!entry.crcRight)
        crc ^= 1;
    const quint32 size = quint32(entry.declaredSize < 0 ? entry.data.size() : entry.declaredSize);
    const QByteArray localName = entry.localName.isEmpty() ? entry.name : entry.localName;
    QByteArray out;
    const auto put16 = [&out](quint16 v) { out.append(reinterpret_cast<const char*>(&v), 2); };
    const auto put32 = [&out](quint32 v) { out.append(reinterpret_cast<const char*>(&v), 4); };
    const auto common = [&] {
        put16(20), put16(entry.flags), put16(entry.method), put32(0), put32(crc);
        put32(quint32(stored.size())), put32(size);
    };
    put32(0x04034b50), common(), put16(quint16(localName.size())), put16(0);
    out += localName + stored;
    const quint32 central = quint32(out.size());
    put32(0x02014b50), put16(20), common(), put16(quint16(entry.name.size()));
    put16(0), put16(0), put16(0), put16(0), put32(0), put32(0);
    out += entry.name;
    const quint32 centralSize = quint32(out.size()) - central;
    put32(0x06054b50), put16(0), put16(0), put16(1), put16(1), put32(centralSize), put32(central);
    put16(quint16(comment.size()));
    return out + comment;
}

RawEntry raw(quint16 method, quint16 flags = 0, qint64 declaredSize = -1, bool crcRight = true,
             const QByteArray& localName = {}) {
    RawEntry entry;
    entry.method = method;
    entry.flags = flags;
    entry.declaredSize = declaredSize;
    entry.crcRight = crcRight;
    entry.localName = localName;
    return entry;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

} // namespace

class ZipReaderTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    // Every name, in every spelling, reads as libzip reads it; damage never
    // yields bytes that no entry held.
    void agreesWithLibzip_data() {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed = 1; seed <= 40; ++seed)
            QTest::newRow(qPrintable(QString::number(seed))) << seed;
    }
    void agreesWithLibzip() {
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        const QString path = dir_.filePath(QStringLiteral("random%1.zip").arg(seed));
        const QList<ZipEntry> entries = randomEntries(random);
        QVERIFY(writeZip(path, entries));
        Archiver archiver;
        for (const ZipEntry& entry : entries) {
            for (const QByteArray& name : {entry.name, entry.name.toUpper(), folded(entry.name)}) {
                QCOMPARE(ourRead(archiver, path, QString::fromLatin1(name)),
                         referenceRead(path, name));
            }
        }
        QVERIFY(!ourRead(archiver, path, "B1"));

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QByteArray bytes = file.readAll();
        for (int k = random.bounded(1, 6); k > 0; --k)
            bytes[random.bounded(int(bytes.size()))] = char(random.bounded(256));
        if (random.bounded(4) == 0)
            bytes.truncate(random.bounded(int(bytes.size())));
        file.resize(0);
        file.write(bytes);
        file.close();
        Archiver fresh;
        for (const ZipEntry& entry : entries) {
            const std::optional<QByteArray> read =
                ourRead(fresh, path, QString::fromLatin1(entry.name));
            QVERIFY(!fresh.isOpen());
            if (read)
                QVERIFY(std::any_of(entries.begin(), entries.end(),
                                    [&](const ZipEntry& e) { return e.data == *read; }));
        }
    }

    void rawArchives_data() {
        QTest::addColumn<QByteArray>("archive");
        QTest::addColumn<bool>("reads");
        QTest::newRow("deflated") << rawArchive(raw(8)) << true;
        QTest::newRow("comment holding an end signature")
            << rawArchive(raw(8), QByteArray("PK\x05\x06", 4) + QByteArray(20, 'x')) << true;
        QTest::newRow("stored") << rawArchive(raw(0)) << true;
        QTest::newRow("stored, CRC wrong") << rawArchive(raw(0, 0, -1, false)) << false;
        QTest::newRow("deflated, CRC wrong") << rawArchive(raw(8, 0, -1, false)) << false;
        QTest::newRow("encrypted") << rawArchive(raw(8, 1)) << false;
        QTest::newRow("other method") << rawArchive(raw(12)) << false;
        QTest::newRow("declares less") << rawArchive(raw(8, 0, 5)) << false;
        QTest::newRow("declares more") << rawArchive(raw(8, 0, 500)) << false;
        QTest::newRow("stored, declares more") << rawArchive(raw(0, 0, 20)) << false;
        QTest::newRow("declares above 64 MiB") << rawArchive(raw(8, 0, MaxEntrySize + 1)) << false;
        QTest::newRow("local header spells the name otherwise")
            << rawArchive(raw(8, 0, -1, true, "b1\\T.1")) << true;
        QTest::newRow("local header of another entry")
            << rawArchive(raw(8, 0, -1, true, "B1/T.2")) << false;
    }
    void rawArchives() {
        QFETCH(QByteArray, archive);
        QFETCH(bool, reads);
        const QString path = dir_.filePath("raw.zip");
        QVERIFY(writeFile(path, archive));
        Archiver archiver;
        const std::optional<QByteArray> read = ourRead(archiver, path, "b1\\t.1");
        QCOMPARE(read.has_value(), reads);
        if (reads)
            QCOMPARE(*read, QByteArray("question text"));
    }

    // The directory is kept while the file is unchanged; a file changed
    // behind it gives its new bytes or an error, never the old bytes.
    void changedFiles_data() {
        QTest::addColumn<QString>("change");
        QTest::newRow("rewritten") << "rewritten";
        QTest::newRow("rewritten, same size and time") << "same identity";
        QTest::newRow("replaced between open and read") << "while open";
        QTest::newRow("removed") << "removed";
    }
    void changedFiles() {
        QFETCH(QString, change);
        const QString path = dir_.filePath("changing.zip");
        QVERIFY(writeZip(path, {{"base.dni", "old descriptor", false}, {"B1/T.1", "old text"}}));
        Archiver archiver;
        QCOMPARE(ourRead(archiver, path, "base.dni"), QByteArray("old descriptor"));
        const QDateTime modified = QFileInfo(path).lastModified();
        const QList<ZipEntry> now{{"base.dni", "new descriptor", false}, {"B1/T.1", "new text"}};

        if (change == u"while open") {
            archiver.setFileName(path);
            archiver.ArchiveOpen();
            QVERIFY(
                writeZip(path, {{"B0/X.1", "padding"}, {"base.dni", "new, longer descriptor"}}));
            ByteStream stream;
            archiver.ArchiveEntryToStream("base.dni", stream);
            QCOMPARE(stream.bytes(), QByteArray("new, longer descriptor"));
            archiver.ArchiveClose();
            return;
        }
        if (change == u"removed") {
            QVERIFY(QFile::remove(path));
            QVERIFY_THROWS_EXCEPTION(ArchiveError, readArchiveEntry(archiver, path, "base.dni"));
            QVERIFY(!archiver.isOpen());
            return;
        }
        QVERIFY(writeZip(path, now));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(change == u"same identity" ? modified : modified.addSecs(5),
                                 QFileDevice::FileModificationTime));
        file.close();
        for (const QString name : {"base.dni", "B1\\T.1"}) {
            const std::optional<QByteArray> read = ourRead(archiver, path, name);
            if (change == u"rewritten")
                QVERIFY(read.has_value());
            if (read)
                QVERIFY(read->startsWith("new"));
        }
    }

    void folderIsNotAnArchive() {
        Archiver archiver;
        archiver.setFileName(dir_.path());
        try {
            archiver.ArchiveOpen();
            QFAIL("a folder opened");
        } catch (const ArchiveError& error) {
            QVERIFY2(QByteArray(error.what()).contains("folder"), error.what());
        }
    }
};

QTEST_GUILESS_MAIN(ZipReaderTest)
#include "tst_zip_reader.moc"
