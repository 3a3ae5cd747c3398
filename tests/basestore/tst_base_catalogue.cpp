#include "basestore/base_catalogue.h"
#include "container_fixture.h"
#include "zip_fixture.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace korvel;
using Status = OpenedBase::Status;

Q_DECLARE_METATYPE(Status)

namespace {
QByteArray descriptor(const QByteArray& bil, const QByteArray& vop) {
    return container({{"Base", "Name", "Test"},
                      {"Base", "Descript", "line 1\r\nline 2"},
                      {"Base", "Bil", bil},
                      {"Base", "Vop", vop}});
}
} // namespace

class BaseCatalogueTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    void catalogueListsReadableBasesInOrder() {
        const QDir base(dir_.filePath("catalogue"));
        QVERIFY(QDir().mkpath(base.path()));
        const auto named = [](const QByteArray& name) {
            return container({{"Base", "Name", name}, {"Base", "Bil", "1"}, {"Base", "Vop", "1"}});
        };
        QVERIFY(writeZip(base.filePath("a.zip"), {{"base.dni", named("First")}}));
        QVERIFY(writeZip(base.filePath("b.zip"), {{"Skin/main.jpg", "x"}}));
        QVERIFY(writeZip(base.filePath("c.ZIP"), {{"BASE.DNI", named("Third")}}));
        QVERIFY(writeZip(base.filePath("d.zip"), {{"base.dni", QByteArray()}}));
        QFile garbage(base.filePath("e.zip"));
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write("not an archive");
        garbage.close();
        QVERIFY(writeZip(base.filePath("f.zip"), {{"base.dni", QByteArray("\0a\0b\0x\0", 7)}}));

        Archiver archiver;
        const QList<CatalogueEntry> entries = buildCatalogue(archiver, base.path());
        QCOMPARE(entries.size(), 3);
        QCOMPARE(entries[0].fileName, QStringLiteral("a.zip"));
        QCOMPARE(entries[0].name, QByteArray("First"));
        QCOMPARE(entries[1].fileName, QStringLiteral("c.ZIP"));
        QCOMPARE(entries[1].name, QByteArray("Third"));
        // A damaged descriptor still lists its base, without a caption.
        QCOMPARE(entries[2].fileName, QStringLiteral("f.zip"));
        QCOMPARE(entries[2].name, QByteArray());
        QVERIFY(!archiver.isOpen());
    }

    void opening_data() {
        QTest::addColumn<QList<ZipEntry>>("entries");
        QTest::addColumn<Status>("status");
        QTest::addColumn<int>("tickets");
        QTest::addColumn<int>("questions");

        QTest::newRow("ordinary") << QList<ZipEntry>{{"base.dni", descriptor("8", "20")}}
                                  << Status::Ok << 8 << 20;
        QTest::newRow("largest counts") << QList<ZipEntry>{{"base.dni", descriptor("1000", "1000")}}
                                        << Status::Ok << 1000 << 1000;
        QTest::newRow("1001 tickets") << QList<ZipEntry>{{"base.dni", descriptor("1001", "5")}}
                                      << Status::CountsOutOfRange << 1001 << 5;
        QTest::newRow("no questions") << QList<ZipEntry>{{"base.dni", descriptor("3", "0")}}
                                      << Status::CountsOutOfRange << 3 << 0;
        QTest::newRow("negative") << QList<ZipEntry>{{"base.dni", descriptor("-2", "5")}}
                                  << Status::CountsOutOfRange << -2 << 5;
        QTest::newRow("not a number") << QList<ZipEntry>{{"base.dni", descriptor("ten", "5")}}
                                      << Status::CountsInvalid << 0 << 0;
        QTest::newRow("absent count")
            << QList<ZipEntry>{{"base.dni", container({{"Base", "Bil", "4"}})}}
            << Status::CountsInvalid << 0 << 0;
        QTest::newRow("huge count")
            << QList<ZipEntry>{{"base.dni", descriptor("99999999999999", "5")}}
            << Status::CountsInvalid << 0 << 0;
        QTest::newRow("empty descriptor")
            << QList<ZipEntry>{{"base.dni", QByteArray()}} << Status::DescriptorMissing << 0 << 0;
        QTest::newRow("no descriptor")
            << QList<ZipEntry>{{"other", "x"}} << Status::DescriptorMissing << 0 << 0;
    }

    void opening() {
        QFETCH(QList<ZipEntry>, entries);
        QFETCH(Status, status);
        QFETCH(int, tickets);
        QFETCH(int, questions);
        const QString path = dir_.filePath("open.zip");
        QVERIFY(writeZip(path, entries));
        Archiver archiver;
        const OpenedBase base = openBase(archiver, path);
        QCOMPARE(base.status, status);
        QCOMPARE(base.usable(), status == Status::Ok);
        QCOMPARE(base.error.isEmpty(), status == Status::Ok);
        QCOMPARE(base.path, path);
        QVERIFY(!archiver.isOpen());
        if (status == Status::Ok || status == Status::CountsOutOfRange) {
            QCOMPARE(base.counts.tickets, tickets);
            QCOMPARE(base.counts.questionsPerTicket, questions);
            QCOMPARE(base.descript, QByteArray("line 1\r\nline 2"));
        }
    }

    void basePictures() {
        const QString path = dir_.filePath("pictures.zip");
        QVERIFY(writeZip(path, {{"base.dni", descriptor("1", "1")},
                                {"skin\\MAIN.JPG", "jpeg bytes"},
                                {"Skin/bad.gif", "gif bytes"}}));
        Archiver archiver;
        const OpenedBase base = openBase(archiver, path);
        QCOMPARE(base.mainPicture, QByteArray("jpeg bytes"));
        QVERIFY(base.goodAnimation.isEmpty());
        QCOMPARE(base.badAnimation, QByteArray("gif bytes"));
        QVERIFY(base.usable());
    }

    void unopenableArchive() {
        Archiver archiver;
        const OpenedBase base = openBase(archiver, dir_.filePath("gone.zip"));
        QCOMPARE(base.status, Status::ArchiveUnreadable);
        QVERIFY(!base.error.isEmpty());
    }

    void lines_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QList<QByteArray>>("lines");
        QTest::newRow("empty") << QByteArray() << QList<QByteArray>{};
        QTest::newRow("one") << QByteArray("a") << QList<QByteArray>{"a"};
        QTest::newRow("CR LF") << QByteArray("a\r\nb\r\nc") << QList<QByteArray>{"a", "b", "c"};
        QTest::newRow("final break")
            << QByteArray("a\r\nb\r\nc\r\n") << QList<QByteArray>{"a", "b", "c"};
        QTest::newRow("CR and LF alone")
            << QByteArray("a\rb\nc") << QList<QByteArray>{"a", "b", "c"};
        QTest::newRow("LF CR is two breaks")
            << QByteArray("a\n\rb") << QList<QByteArray>{"a", "", "b"};
        QTest::newRow("empty middle line")
            << QByteArray("a\r\n\r\nb") << QList<QByteArray>{"a", "", "b"};
        QTest::newRow("blanks kept") << QByteArray(" a \r\n") << QList<QByteArray>{" a "};
        QTest::newRow("break only") << QByteArray("\r\n") << QList<QByteArray>{""};
    }

    void lines() {
        QFETCH(QByteArray, text);
        QFETCH(QList<QByteArray>, lines);
        QCOMPARE(splitTextLines(text), lines);
    }

    void descriptorTexts() {
        ByteStream stream(container({{"Base", "Pozdr", "Well done\r\nGood\r\n"},
                                     {"Literature", "L2", "rules.htm"},
                                     {"Base", "Izdevat", "Try again"}}));
        QCOMPARE(descriptorPozdr(stream), (QList<QByteArray>{"Well done", "Good"}));
        QCOMPARE(descriptorIzdevat(stream), QList<QByteArray>{"Try again"});
        QCOMPARE(literaturePage(stream, "2"), QByteArray("rules.htm"));
        QCOMPARE(literaturePage(stream, "3"), QByteArray());
        QCOMPARE(descriptorName(stream), QByteArray());
    }
};

QTEST_GUILESS_MAIN(BaseCatalogueTest)
#include "tst_base_catalogue.moc"
