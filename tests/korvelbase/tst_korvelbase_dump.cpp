#include "basestore/question_cipher.h"
#include "tests/support/dump_collector.h"
#include "tests/support/test_base_builder.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

using namespace korvel;

namespace {

using Damage = std::function<void(const QString& path)>;

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Changes one byte of stored entry data in place, so that only its CRC tells.
void flipStoredByte(const QString& path, const QByteArray& stored) {
    QByteArray bytes = readAll(path);
    const qsizetype at = bytes.indexOf(stored);
    QVERIFY(at >= 0);
    QCOMPARE(bytes.indexOf(stored, at + 1), -1);
    bytes[at + stored.size() / 2] = char(bytes[at + stored.size() / 2] ^ 0x55);
    writeAll(path, bytes);
}

DumpCollector dump(const QString& path, bool expectClean) {
    DumpCollector collector;
    const bool clean = dumpBase(path, collector);
    [&] { QCOMPARE(clean, expectClean); }();
    return collector;
}

DumpCollector dumpOne(const TestBaseBuilder& base, bool expectClean = true) {
    QTemporaryDir dir;
    base.write(dir.filePath("base.zip"));
    return dump(dir.filePath("base.zip"), expectClean);
}

const QByteArray MarkedName = "Marked descriptor name";

} // namespace

Q_DECLARE_METATYPE(Damage)

class DumpTest : public QObject {
    Q_OBJECT

private slots:
    // Whatever is wrong with the archive, the base gets an error and no questions.
    void brokenArchivesFailCleanly_data() {
        QTest::addColumn<Damage>("damage");
        QTest::newRow("missing file") << Damage([](const QString& path) { QFile::remove(path); });
        QTest::newRow("empty file") << Damage([](const QString& path) { writeAll(path, {}); });
        QTest::newRow("truncated") << Damage([](const QString& path) {
            writeAll(path, readAll(path).left(readAll(path).size() / 2));
        });
        QTest::newRow("truncated end")
            << Damage([](const QString& path) { writeAll(path, readAll(path).chopped(10)); });
        QTest::newRow("garbage") << Damage([](const QString& path) {
            QByteArray noise(4096, '\0');
            QRandomGenerator generator(7);
            for (char& c : noise)
                c = char(generator.bounded(256));
            writeAll(path, noise);
        });
        QTest::newRow("garbage after a zip signature") << Damage([](const QString& path) {
            writeAll(path,
                     "PK\x03\x04" + QByteArray(600, 'x') + "PK\x05\x06" + QByteArray(18, '\xff'));
        });
        QTest::newRow("descriptor CRC mismatch")
            << Damage([](const QString& path) { flipStoredByte(path, MarkedName); });
        QTest::newRow("descriptor bomb") << Damage([](const QString& path) {
            TestBaseBuilder bomb;
            bomb.addEntry("base.dni", QByteArray(65 * 1024 * 1024, '\0'));
            bomb.write(path);
        });
        QTest::newRow("descriptor without counts") << Damage([](const QString& path) {
            TestBaseBuilder base;
            base.descriptor().add("Base", "Name", "n");
            base.write(path);
        });
    }
    void brokenArchivesFailCleanly() {
        QFETCH(Damage, damage);
        QTemporaryDir dir;
        const QString path = dir.filePath("base.zip");
        TestBaseBuilder base;
        base.setCompression(EntryCompression::Stored).setCounts(2, 3, MarkedName);
        base.addQuestion(1, 1, "text", standardQuestion());
        base.write(path);
        damage(path);
        const DumpCollector result = dump(path, false);
        QVERIFY(result.finished);
        QVERIFY(result.dumped.error);
        QVERIFY(!result.dumped.error->isEmpty());
        QVERIFY(result.questions.isEmpty());
    }

    // One damaged record costs only its own question.
    void halfBrokenBase_data() {
        QTest::addColumn<Damage>("damage");
        QTest::newRow("record CRC mismatch") << Damage([](const QString& path) {
            flipStoredByte(path, cipherQuestionRecord(standardQuestion(2, 4).bytes()));
        });
        QTest::newRow("record bomb") << Damage([](const QString& path) {
            TestBaseBuilder base;
            base.setCounts(1, 3);
            base.addQuestion(1, 1, "one", standardQuestion(1));
            base.addEntry("B1\\T.2", "two").addRawRecord(1, 2, QByteArray(65 * 1024 * 1024, '\0'));
            base.addQuestion(1, 3, "three", standardQuestion(3));
            base.write(path);
        });
    }
    void halfBrokenBase() {
        QFETCH(Damage, damage);
        QTemporaryDir dir;
        const QString path = dir.filePath("base.zip");
        TestBaseBuilder base;
        base.setCompression(EntryCompression::Stored).setCounts(1, 3);
        base.addQuestion(1, 1, "one", standardQuestion(1));
        base.addQuestion(1, 2, "two", standardQuestion(2, 4));
        base.addQuestion(1, 3, "three", standardQuestion(3));
        base.write(path);
        damage(path);
        const DumpCollector result = dump(path, false);
        QVERIFY(!result.dumped.error);
        QCOMPARE(result.questions.size(), 3);
        QVERIFY(!result.questions[0].error);
        QVERIFY(result.questions[1].error);
        QVERIFY(result.questions[1].error->contains("V.2"));
        QVERIFY(!result.questions[2].error);
        QCOMPARE(result.questions[2].right, QList<int>{3});
    }

    void questionErrors_data() {
        QTest::addColumn<QByteArray>("record"); // deciphered V.1; "-" for no entry
        QTest::newRow("missing record") << QByteArray("-");
        QTest::newRow("mode 6") << RecordContainerWriter().add("vop", "yes", "6").bytes();
        QTest::newRow("mode -1") << RecordContainerWriter().add("vop", "yes", "-1").bytes();
        QTest::newRow("mode x") << RecordContainerWriter().add("vop", "yes", "x").bytes();
        QTest::newRow("length field x") << RecordContainerWriter()
                                               .addWithLengthField("vop", "ot1", "x", "a")
                                               .add("vop", "yes", "1")
                                               .bytes();
    }
    void questionErrors() {
        QFETCH(QByteArray, record);
        TestBaseBuilder base;
        base.setCounts(1, 2);
        base.addEntry("B1\\T.1", "text");
        if (record != "-")
            base.addRawRecord(1, 1, cipherQuestionRecord(record));
        base.addQuestion(1, 2, "two", standardQuestion(2));
        const DumpCollector result = dumpOne(base, false);
        QCOMPARE(result.questions.size(), 2);
        QVERIFY(result.questions[0].error);
        QVERIFY(!result.questions[1].error);
        QCOMPARE(result.questions[1].right, QList<int>{2});
    }

    void recordLongerThan16KiB() {
        QByteArray answer;
        for (int k = 0; answer.size() < 20000; ++k)
            answer += "\xCE\xF2\xE2\xE5\xF2 " + QByteArray::number(k) + "\r\n";
        RecordContainerWriter record;
        record.add("vop", "ot1", "short").add("vop", "ot2", answer).add("vop", "ot3", "tail");
        record.add("vop", "yes", "3");
        TestBaseBuilder base;
        base.setCounts(1, 1);
        base.addQuestion(1, 1, "text", record);
        const DumpCollector result = dumpOne(base);
        QCOMPARE(result.questions.size(), 1);
        const DumpedQuestion& question = result.questions[0];
        QVERIFY(!question.error);
        QCOMPARE(question.answers[1]->size(), answer.size());
        QVERIFY(question.answers[1]->startsWith(QStringLiteral("Ответ 0\r\nОтвет 1\r\n")));
        QCOMPARE(question.answers[2], QStringLiteral("tail"));
        QCOMPARE(question.right, QList<int>{3});
    }

    void duplicateKeysFirstWins() {
        RecordContainerWriter record;
        record.add("vop", "yes", "2").add("vop", "ot1", "first").add("vop", "ot2", "b");
        record.add("vop", "ot1", "second").add("vop", "yes", "1");
        TestBaseBuilder base;
        base.setCounts(1, 1, "First name");
        base.descriptor().add("Base", "Name", "Second name").add("Base", "Bil", "9");
        base.addQuestion(1, 1, "text", record);
        const DumpCollector result = dumpOne(base);
        QCOMPARE(result.dumped.name, QStringLiteral("First name"));
        QCOMPARE(result.dumped.tickets, 1);
        QCOMPARE(result.questions.size(), 1);
        QCOMPARE(result.questions[0].answers[0], QStringLiteral("first"));
        QCOMPARE(result.questions[0].answerMode, 2);
    }

    // Junk after a record the lookup skips (by its length field) is passed over.
    void junkBetweenRecords() {
        RecordContainerWriter record;
        record.addRaw("leading junk").add("vop", "ot1", "a");
        record.add("vop", "extra", "skipped").addRaw("\x01\x02 junk").add("vop", "ot2", "b");
        record.add("other", "key", "v").addRaw("more").add("vop", "yes", "2");
        TestBaseBuilder base;
        base.descriptor().addRaw("junk").add("Base", "Name", "n").add("Base", "Note", "x");
        base.descriptor().addRaw("y").add("Base", "Vop", "1").add("Base", "Bil", "1");
        base.addQuestion(1, 1, "text", record);
        const DumpCollector result = dumpOne(base);
        QCOMPARE(result.dumped.name, QStringLiteral("n"));
        QCOMPARE(result.dumped.tickets, 1);
        QCOMPARE(result.questions.size(), 1);
        QCOMPARE(result.questions[0].answers[0], QStringLiteral("a"));
        QCOMPARE(result.questions[0].answers[1], QStringLiteral("b"));
        QCOMPARE(result.questions[0].right, QList<int>{2});
    }

    void modeZeroRightAnswersNeedText() {
        RecordContainerWriter record;
        record.add("vop", "yes", "0").add("vop", "ot1", "a").add("vop", "V1", "1");
        record.add("vop", "V2", "1").add("vop", "ot3", "c").add("vop", "V3", "0");
        record.add("vop", "ot4", "d").add("vop", "V4", "1").add("vop", "ot5", "e");
        TestBaseBuilder base;
        base.setCounts(1, 1);
        base.addQuestion(1, 1, "text", record);
        const DumpCollector result = dumpOne(base);
        QCOMPARE(result.questions[0].answerMode, 0);
        QCOMPARE(result.questions[0].right, QList<int>({1, 4}));
        QVERIFY(!result.questions[0].answers[1]);
    }

    void entryNamesAndCompression_data() {
        QTest::addColumn<QString>("pattern"); // %1 ticket, %2 T/J/V, %3 question
        QTest::addColumn<bool>("stored");
        QTest::newRow("backslash, deflated") << "B%1\\%2.%3" << false;
        QTest::newRow("slash, stored") << "B%1/%2.%3" << true;
        QTest::newRow("lower case backslash") << "b%1\\%2.%3" << false;
        QTest::newRow("lower case slash, stored") << "b%1/%2.%3" << true;
    }
    void entryNamesAndCompression() {
        QFETCH(QString, pattern);
        QFETCH(bool, stored);
        const EntryCompression compression =
            stored ? EntryCompression::Stored : EntryCompression::Deflated;
        const bool lower = pattern.startsWith(u'b');
        auto name = [&](const char* kind) {
            const QString letter = lower ? QString(kind).toLower() : QString(kind);
            return pattern.arg(2).arg(letter).arg(3);
        };
        TestBaseBuilder base;
        base.setCompression(compression);
        base.addEntry(lower ? "BASE.DNI" : "base.dni",
                      RecordContainerWriter()
                          .add("Base", "Name", "n")
                          .add("Base", "Vop", "3")
                          .add("Base", "Bil", "2")
                          .bytes(),
                      compression);
        base.addEntry(lower ? "skin\\MAIN.JPG" : "Skin\\main.jpg", testJpeg(), compression);
        base.addEntry(name("T"), "{\\rtf1 text}", compression);
        base.addEntry(name("J"), testJpeg(), compression);
        base.addEntry(name("V"), cipherQuestionRecord(standardQuestion(4, 5).bytes()), compression);
        const DumpCollector result = dumpOne(base, false);
        QVERIFY(!result.dumped.error);
        QVERIFY(result.dumped.mainPicture);
        QCOMPARE(result.questions.size(), 6);
        const DumpedQuestion& question = result.questions[5];
        QCOMPARE(question.ticket, 2);
        QCOMPARE(question.question, 3);
        QVERIFY(!question.error);
        QVERIFY(question.textPresent);
        QVERIFY(question.textRtf);
        QCOMPARE(question.textBytes, 12);
        QVERIFY(question.picture);
        QCOMPARE(question.right, QList<int>{4});
        QCOMPARE(question.answers[4], QStringLiteral("Answer 5"));
        // Only the exact path matches: the other questions have no entries.
        QVERIFY(result.questions[0].error);
        QVERIFY(!result.questions[0].textPresent);
    }

    void emptyPicturesCountAsMissing() {
        TestBaseBuilder base = standardBase(1, 1);
        base.addEntry("Skin/main.jpg", {}).addEntry("Skin/good.gif", testGif());
        base.addEntry("B1\\J.1", {});
        const DumpCollector result = dumpOne(base);
        QVERIFY(!result.dumped.mainPicture);
        QVERIFY(result.dumped.goodAnimation);
        QVERIFY(!result.questions[0].picture);
    }
};

QTEST_GUILESS_MAIN(DumpTest)
#include "tst_korvelbase_dump.moc"
