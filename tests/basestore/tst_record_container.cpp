#include "basestore/record_container.h"

#include <QTest>

using namespace korvel;

namespace {
QByteArray bytes(std::initializer_list<QByteArray> parts) {
    QByteArray result;
    for (const QByteArray& part : parts)
        result += part;
    return result;
}
const QByteArray Z(1, '\0');

// The two records (Base, Vop, "20") and (Base, Bil, "30"), byte for byte.
const QByteArray TwoRecords = QByteArray::fromHex("00426173650056"
                                                  "6f700032003230"
                                                  "0042617365004269"
                                                  "6c003200333000");
} // namespace

class RecordContainerTest : public QObject {
    Q_OBJECT

private slots:
    void twoRecordExampleIs29Bytes() { QCOMPARE(TwoRecords.size(), 29); }

    void lookups_data() {
        QTest::addColumn<QByteArray>("container");
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<bool>("found");

        const QByteArray yes = bytes({Z, "vop", Z, "yes", Z, "1", Z, "3", Z});
        QTest::newRow("empty container")
            << QByteArray() << QByteArray("vop") << QByteArray("yes") << QByteArray() << false;
        QTest::newRow("exact match")
            << yes << QByteArray("vop") << QByteArray("yes") << QByteArray("3") << true;
        QTest::newRow("key case matters")
            << yes << QByteArray("vop") << QByteArray("Yes") << QByteArray() << false;
        QTest::newRow("section case matters")
            << yes << QByteArray("Vop") << QByteArray("yes") << QByteArray() << false;
        QTest::newRow("first record")
            << TwoRecords << QByteArray("Base") << QByteArray("Vop") << QByteArray("20") << true;
        QTest::newRow("second record")
            << TwoRecords << QByteArray("Base") << QByteArray("Bil") << QByteArray("30") << true;
        QTest::newRow("missing key")
            << TwoRecords << QByteArray("Base") << QByteArray("Name") << QByteArray() << false;
        QTest::newRow("no closing zero")
            << bytes({Z, "vop", Z, "ot1", Z, "5", Z, "Hello"}) << QByteArray("vop")
            << QByteArray("ot1") << QByteArray("Hello") << true;
        QTest::newRow("duplicates: the first counts")
            << bytes({Z, "a", Z, "k", Z, "1", Z, "x", Z, "a", Z, "k", Z, "1", Z, "y", Z})
            << QByteArray("a") << QByteArray("k") << QByteArray("x") << true;
        QTest::newRow("junk after a skipped record is skipped")
            << bytes({Z, "a", Z, "k", Z, "1", Z, "x", "JUNK", Z, "a", Z, "m", Z, "1", Z, "y", Z})
            << QByteArray("a") << QByteArray("m") << QByteArray("y") << true;
        QTest::newRow("junk after a matching value is read with it")
            << bytes({Z, "a", Z, "k", Z, "1", Z, "x", "JUNK", Z}) << QByteArray("a")
            << QByteArray("k") << QByteArray("xJUNK") << true;
        QTest::newRow("zero length value")
            << bytes({Z, "a", Z, "k", Z, "0", Z, Z}) << QByteArray("a") << QByteArray("k")
            << QByteArray() << true;
        QTest::newRow("length past the end")
            << bytes({Z, "a", Z, "k", Z, "999", Z, "x", Z, "a", Z, "m", Z, "1", Z, "y", Z})
            << QByteArray("a") << QByteArray("m") << QByteArray() << false;
        QTest::newRow("negative length ends the lookup")
            << bytes({Z, "a", Z, "k", Z, "-9", Z, "x", Z, "a", Z, "m", Z, "1", Z, "y", Z})
            << QByteArray("a") << QByteArray("m") << QByteArray() << false;
        QTest::newRow("multi-line value")
            << bytes({Z, "Base", Z, "Descript", Z, "6", Z, "a\r\nb\r\n", Z}) << QByteArray("Base")
            << QByteArray("Descript") << QByteArray("a\r\nb\r\n") << true;
        QTest::newRow("value with bytes above 127")
            << bytes({Z, "Base", Z, "Name", Z, "3", Z, "\xcf\xf0\xe8", Z}) << QByteArray("Base")
            << QByteArray("Name") << QByteArray("\xcf\xf0\xe8") << true;
        QTest::newRow("leading junk is skipped")
            << bytes({"xyz", Z, "a", Z, "k", Z, "1", Z, "v", Z}) << QByteArray("a")
            << QByteArray("k") << QByteArray("v") << true;
    }

    void lookups() {
        QFETCH(QByteArray, container);
        QFETCH(QByteArray, section);
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, value);
        QFETCH(bool, found);

        ByteStream stream(container);
        stream.seek(container.size()); // lookups scan from the start regardless
        QCOMPARE(ReadRecordText(section, key, stream), value);

        ByteStream out(QByteArray("stale"));
        QCOMPARE(ReadRecordStream(section, key, stream, out), found);
        QCOMPARE(out.bytes(), value);
        QCOMPARE(out.position(), 0);
    }

    void conversionFailures_data() {
        QTest::addColumn<QByteArray>("container");
        QTest::addColumn<bool>("textThrows");
        QTest::addColumn<bool>("streamThrows");

        QTest::newRow("letters in a skipped length")
            << bytes({Z, "a", Z, "k", Z, "1x", Z, "v", Z, "b", Z, "m", Z, "1", Z, "w", Z}) << true
            << true;
        QTest::newRow("letters in the matching length")
            << bytes({Z, "b", Z, "m", Z, "abc", Z, "w", Z}) << true << true;
        QTest::newRow("overflowing length")
            << bytes({Z, "a", Z, "k", Z, "99999999999999999999", Z, "v", Z}) << true << true;
        // A value shorter than its length field lands the next skip on the
        // wrong byte; what follows there is no valid record.
        QTest::newRow("short value misplaces later skips")
            << bytes({Z, "a", Z, "k", Z, "4", Z, "x", Z, "a", Z, "m", Z, "1", Z, "y", Z}) << false
            << true;
        QTest::newRow("lone minus") << bytes({Z, "a", Z, "k", Z, "-", Z, "v", Z}) << true << true;
        // An empty length ends a text lookup quietly but is a failure for streams.
        QTest::newRow("empty length") << bytes({Z, "a", Z, "k", Z, Z, "v", Z, Z}) << false << true;
    }

    void conversionFailures() {
        QFETCH(QByteArray, container);
        QFETCH(bool, textThrows);
        QFETCH(bool, streamThrows);

        ByteStream stream(container);
        bool threw = false;
        try {
            QCOMPARE(ReadRecordText("b", "m", stream), QByteArray());
        } catch (const RecordConversionError&) {
            threw = true;
        }
        QCOMPARE(threw, textThrows);

        threw = false;
        ByteStream out;
        try {
            QVERIFY(!ReadRecordStream("b", "m", stream, out));
        } catch (const RecordConversionError&) {
            threw = true;
        }
        QCOMPARE(threw, streamThrows);
        QVERIFY(out.isEmpty());
    }

    // The stream lookup never reads the closing zero byte as a record, so a
    // container that is only that byte is simply empty of records.
    void closingZeroAlone() {
        ByteStream stream(Z);
        ByteStream out;
        QVERIFY(!ReadRecordStream("a", "k", stream, out));
        QCOMPARE(ReadRecordText("a", "k", stream), QByteArray());
    }
};

QTEST_APPLESS_MAIN(RecordContainerTest)
#include "tst_record_container.moc"
