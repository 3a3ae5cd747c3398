#include "basestore/question_cipher.h"
#include "tests/support/dump_collector.h"
#include "tests/support/test_base_builder.h"
#include "tests/support/zip_surgery.h"
#include "tools/korvelbase/base_dump.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace korvel;

namespace {

DumpCollector dump(const QString& path, bool* clean = nullptr) {
    DumpCollector collector;
    const bool result = dumpBase(path, collector);
    if (clean)
        *clean = result;
    return collector;
}

} // namespace

class DumpTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString path(const char* name) const { return dir_.filePath(name); }

private slots:
    void wholeBaseReadsAsWritten() {
        TestBaseBuilder base;
        base.descriptor()
            .add("Base", "Name", "\xC4\xE5\xEC\xEE") // "Демо"
            .add("Base", "Descript", "one\r\ntwo")
            .add("Base", "Vop", "2")
            .add("Base", "Bil", "1")
            .add("Base", "Pozdr", "good 1\r\ngood 2\r\n")
            .add("Base", "Izdevat", "bad 1\rbad 2\nbad 3")
            .add("Literature", "L7", "page.htm");
        base.addEntry("Skin/main.jpg", testJpeg()).addEntry("Skin\\bad.gif", testGif());
        RecordContainerWriter first = multipleQuestion({1, 3}, 3);
        first.add("Literature", "Index", "7").add("Literature", "Punkt", "p2");
        base.addQuestion(1, 1, "{\\rtf1 x}", first, testJpeg());
        RecordContainerWriter second;
        second.add("vop", "ot2", "line\r\nnext").add("vop", "yes", "4");
        base.addQuestion(1, 2, "plain", second);
        base.write(path("whole.zip"));

        bool clean = false;
        const DumpCollector result = dump(path("whole.zip"), &clean);
        QVERIFY(clean);
        QVERIFY(result.finished);
        QCOMPARE(result.dumped.name, QStringLiteral("Демо"));
        QCOMPARE(result.dumped.descript, QStringLiteral("one\r\ntwo"));
        QCOMPARE(result.dumped.tickets, 1);
        QCOMPARE(result.dumped.questionsPerTicket, 2);
        QCOMPARE(result.dumped.pozdr, QStringList({"good 1", "good 2"}));
        QCOMPARE(result.dumped.izdevat, QStringList({"bad 1", "bad 2", "bad 3"}));
        QVERIFY(result.dumped.mainPicture && !result.dumped.goodAnimation &&
                result.dumped.badAnimation);
        QVERIFY(!result.dumped.error);

        QCOMPARE(result.questions.size(), 2);
        const DumpedQuestion& q1 = result.questions[0];
        QVERIFY(q1.textPresent && q1.textRtf && q1.picture);
        QCOMPARE(q1.textBytes, 9);
        QCOMPARE(q1.answerMode, 0);
        QCOMPARE(q1.right, QList<int>({1, 3}));
        QCOMPARE(q1.literaturePage, QStringLiteral("page.htm"));
        QCOMPARE(q1.literaturePunkt, QStringLiteral("p2"));
        const DumpedQuestion& q2 = result.questions[1];
        QVERIFY(q2.textPresent && !q2.textRtf && !q2.picture);
        QCOMPARE(q2.answerMode, 4);
        QCOMPARE(q2.right, QList<int>({4})); // as the program flags it, text or not
        QVERIFY(!q2.answers[0]);
        QCOMPARE(*q2.answers[1], QStringLiteral("line\r\nnext"));
        QVERIFY(q2.literaturePage.isEmpty());
    }

    // However a writer names and packs the entries, the program reads the same base.
    void entryNamesAndCompression_data() {
        QTest::addColumn<bool>("slash");
        QTest::addColumn<bool>("lower");
        QTest::addColumn<bool>("stored");
        QTest::newRow("backslash deflated") << false << false << false;
        QTest::newRow("slash stored") << true << false << true;
        QTest::newRow("lower-case backslash stored") << false << true << true;
        QTest::newRow("lower-case slash deflated") << true << true << false;
    }
    void entryNamesAndCompression() {
        QFETCH(bool, slash);
        QFETCH(bool, lower);
        QFETCH(bool, stored);
        const EntryCompression compression =
            stored ? EntryCompression::Stored : EntryCompression::Deflated;
        TestBaseBuilder base;
        base.setCompression(compression).setCounts(2, 1);
        for (int t = 1; t <= 2; ++t) {
            QString text = QStringLiteral("B%1\\T.1").arg(t);
            QString record = QStringLiteral("B%1\\V.1").arg(t);
            for (QString* name : {&text, &record}) {
                if (slash)
                    name->replace(u'\\', u'/');
                if (lower)
                    *name = name->toLower();
            }
            base.addEntry(text, "text " + QByteArray::number(t), compression);
            base.addEntry(record, cipherRecord(standardQuestion(t, 2)), compression);
        }
        base.write(path("names.zip"));

        bool clean = false;
        const DumpCollector result = dump(path("names.zip"), &clean);
        QVERIFY(clean);
        QCOMPARE(result.questions.size(), 2);
        QCOMPARE(result.questions[1].textBytes, 6);
        QCOMPARE(result.questions[1].right, QList<int>({2}));
        QCOMPARE(*result.questions[1].answers[1], QStringLiteral("Answer 2"));
    }

    // Records longer than one cipher block, duplicate keys and junk between records.
    void recordContents_data() {
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<QString>("answer1");
        QTest::addColumn<int>("mode");

        const QByteArray longText(20000, 'w');
        RecordContainerWriter longRecord;
        longRecord.add("vop", "yes", "1").add("vop", "pad", QByteArray(17000, 'p'));
        longRecord.add("vop", "ot1", longText);
        QTest::newRow("20 KB record") << longRecord.bytes() << QString::fromLatin1(longText) << 1;

        RecordContainerWriter duplicates;
        duplicates.add("vop", "ot1", "first").add("vop", "yes", "2").add("vop", "ot1", "second");
        duplicates.add("vop", "yes", "3");
        QTest::newRow("duplicate keys: first counts") << duplicates.bytes() << "first" << 2;

        RecordContainerWriter junk;
        junk.add("vop", "pad", "x").addRaw("##junk##").add("vop", "yes", "2");
        junk.add("vop", "ot1", "after junk");
        QTest::newRow("junk between records") << junk.bytes() << "after junk" << 2;

        RecordContainerWriter unclosed;
        unclosed.add("vop", "ot1", "no closing zero");
        QTest::newRow("no closing zero")
            << unclosed.bytesWithoutClosingZero() << "no closing zero" << 1;
    }
    void recordContents() {
        QFETCH(QByteArray, plain);
        QFETCH(QString, answer1);
        QFETCH(int, mode);
        TestBaseBuilder base;
        base.setCounts(1, 1).addEntry("B1\\T.1", "t").addRawRecord(1, 1, cipherBytes(plain));
        base.write(path("record.zip"));
        const DumpCollector result = dump(path("record.zip"));
        QCOMPARE(result.questions.size(), 1);
        const DumpedQuestion& question = result.questions[0];
        QVERIFY2(!question.error, qPrintable(question.error.value_or(QString())));
        QCOMPARE(*question.answers[0], answer1);
        QCOMPARE(question.answerMode, mode);
    }

    void baseErrors_data() {
        QTest::addColumn<QByteArray>("descriptor"); // empty: no base.dni entry
        QTest::addColumn<bool>("countsKnown");
        const auto counts = [](const QByteArray& vop, const QByteArray& bil) {
            RecordContainerWriter writer;
            writer.add("Base", "Name", "n");
            if (!vop.isNull())
                writer.add("Base", "Vop", vop);
            if (!bil.isNull())
                writer.add("Base", "Bil", bil);
            return writer.bytes();
        };
        QTest::newRow("no base.dni") << QByteArray() << false;
        QTest::newRow("Vop absent") << counts(QByteArray(), "1") << false;
        QTest::newRow("Bil not a number") << counts("1", "x2") << false;
        QTest::newRow("Bil 1001") << counts("1", "1001") << true;
        QTest::newRow("Vop 0") << counts("0", "1") << true;
        RecordContainerWriter badLength;
        badLength.addWithLengthField("Base", "Junk", "zz", "1").add("Base", "Vop", "1");
        QTest::newRow("length field does not convert") << badLength.bytes() << false;
    }
    void baseErrors() {
        QFETCH(QByteArray, descriptor);
        QFETCH(bool, countsKnown);
        TestBaseBuilder base;
        if (!descriptor.isEmpty())
            base.addEntry("base.dni", descriptor);
        base.addQuestion(1, 1, "t", standardQuestion());
        base.write(path("base-error.zip"));
        bool clean = true;
        const DumpCollector result = dump(path("base-error.zip"), &clean);
        QVERIFY(!clean);
        QVERIFY(result.dumped.error && !result.dumped.error->isEmpty());
        QVERIFY(result.questions.isEmpty());
        QCOMPARE(result.dumped.tickets.has_value(), countsKnown);
        QVERIFY(result.finished);
    }

    void questionErrors_data() {
        QTest::addColumn<QByteArray>("stored"); // V.1 as stored; null: no V.1 entry
        QTest::addColumn<QString>("errorPart");
        QTest::newRow("record missing") << QByteArray() << "not found";
        RecordContainerWriter mode;
        mode.add("vop", "ot1", "a").add("vop", "yes", "7");
        QTest::newRow("mode 7") << cipherBytes(mode.bytes()) << "7";
        RecordContainerWriter word;
        word.add("vop", "yes", "two").add("vop", "ot1", "a");
        QTest::newRow("mode not a number") << cipherBytes(word.bytes()) << "two";
        RecordContainerWriter length;
        length.addWithLengthField("vop", "other", "1x", "a").add("vop", "ot1", "a");
        QTest::newRow("bad length field") << cipherBytes(length.bytes()) << "1x";
    }
    void questionErrors() {
        QFETCH(QByteArray, stored);
        QFETCH(QString, errorPart);
        TestBaseBuilder base;
        base.setCounts(1, 2).addEntry("B1\\T.1", "t");
        if (!stored.isNull())
            base.addRawRecord(1, 1, stored);
        base.addQuestion(1, 2, "fine", standardQuestion(2));
        base.write(path("question-error.zip"));
        bool clean = true;
        const DumpCollector result = dump(path("question-error.zip"), &clean);
        QVERIFY(!clean);
        QVERIFY(!result.dumped.error);
        QCOMPARE(result.questions.size(), 2);
        const DumpedQuestion& broken = result.questions[0];
        QVERIFY(broken.error);
        QVERIFY2(broken.error->contains(errorPart), qPrintable(*broken.error));
        // The program goes on as with an empty record.
        QCOMPARE(broken.answerMode, 1);
        QCOMPARE(broken.right, QList<int>({1}));
        QVERIFY(std::all_of(broken.answers.begin(), broken.answers.end(),
                            [](const auto& a) { return !a; }));
        QVERIFY(!result.questions[1].error);
    }

    // Hostile archives: every one ends in an error, never a crash or a huge allocation.
    void hostileArchives_data() {
        QTest::addColumn<QString>("damage");
        QTest::newRow("truncated") << "truncated";
        QTest::newRow("garbage") << "garbage";
        QTest::newRow("empty file") << "empty";
        QTest::newRow("descriptor CRC mismatch") << "crc";
        QTest::newRow("bomb with a lying header") << "bomb";
        QTest::newRow("entry above 64 MiB") << "huge";
        QTest::newRow("no such file") << "missing";
    }
    void hostileArchives() {
        QFETCH(QString, damage);
        const QString file = path("hostile.zip");
        QFile::remove(file);
        TestBaseBuilder base;
        if (damage == u"bomb" || damage == u"huge") {
            base.addEntry("base.dni",
                          QByteArray(damage == u"huge" ? 65 * 1024 * 1024 : 8 << 20, '\x01'));
        } else {
            base = standardBase(2, 2);
        }
        base.write(file);
        if (damage == u"truncated")
            QVERIFY(truncateFile(file, QFileInfo(file).size() / 2));
        else if (damage == u"garbage") {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            QByteArray noise(4096, '\0');
            for (char& c : noise)
                c = char(QRandomGenerator::global()->bounded(256));
            out.write(QByteArray("PK\x03\x04", 4) + noise);
        } else if (damage == u"empty")
            QVERIFY(truncateFile(file, 0));
        else if (damage == u"crc")
            QVERIFY(corruptEntryCrc(file, "base.dni"));
        else if (damage == u"bomb")
            QVERIFY(setDeclaredSize(file, "base.dni", 100));
        else if (damage == u"missing")
            QFile::remove(file);

        bool clean = true;
        const DumpCollector result = dump(file, &clean);
        QVERIFY(!clean);
        QVERIFY(result.dumped.error);
        QVERIFY(result.questions.isEmpty());
        QVERIFY(result.finished);
    }

    // A good descriptor with damaged records: the base reads, the questions report.
    // Mode 0: the right answers are those with text whose V<n> is "1".
    void modeZeroRightAnswersNeedText() {
        RecordContainerWriter record;
        record.add("vop", "yes", "0").add("vop", "ot1", "a").add("vop", "V1", "1");
        record.add("vop", "V2", "1").add("vop", "ot3", "c").add("vop", "V3", "0");
        record.add("vop", "ot4", "d").add("vop", "V4", "1").add("vop", "ot5", "e");
        TestBaseBuilder base;
        base.setCounts(1, 1);
        base.addQuestion(1, 1, "text", record);
        base.write(path("mode0.zip"));
        const DumpCollector result = dump(path("mode0.zip"));
        QCOMPARE(result.questions.size(), 1);
        QVERIFY(!result.questions[0].error);
        QCOMPARE(result.questions[0].answerMode, 0);
        QCOMPARE(result.questions[0].right, QList<int>({1, 4}));
        QVERIFY(!result.questions[0].answers[1]);
    }

    void halfBrokenBase() {
        TestBaseBuilder base = standardBase(1, 3);
        base.write(path("half.zip"));
        QVERIFY(corruptEntryCrc(path("half.zip"), "B1\\V.1"));
        QVERIFY(corruptEntryData(path("half.zip"), "B1\\V.2"));
        const DumpCollector result = dump(path("half.zip"));
        QVERIFY(!result.dumped.error);
        QCOMPARE(result.questions.size(), 3);
        QVERIFY(result.questions[0].error);
        QVERIFY(result.questions[1].error);
        QVERIFY(!result.questions[2].error);
    }

    void jsonHasTheAgreedShape() {
        TestBaseBuilder base = standardBase(1, 1);
        base.descriptor().add("Base", "Pozdr", "\"quoted\"\\\t");
        base.write(path("json.zip"));
        QString text;
        QTextStream out(&text);
        JsonDumpWriter writer(out);
        QVERIFY(dumpBase(path("json.zip"), writer));
        QJsonParseError parseError;
        const QJsonObject json = QJsonDocument::fromJson(text.toUtf8(), &parseError).object();
        QCOMPARE(parseError.error, QJsonParseError::NoError);
        QCOMPARE(json["tickets"].toInt(), 1);
        QVERIFY(json["error"].isNull());
        QCOMPARE(json["pozdr"].toArray().at(0).toString(), QStringLiteral("\"quoted\"\\\t"));
        QCOMPARE(json["pictures"].toObject().keys(), QStringList({"bad", "good", "main"}));
        const QJsonObject question = json["questions"].toArray().at(0).toObject();
        QCOMPARE(question.keys(), QStringList({"answer_mode", "answers", "error", "literature",
                                               "picture", "question", "right", "text", "ticket"}));
        const QJsonArray answers = question["answers"].toArray();
        QCOMPARE(answers.size(), 5);
        QCOMPARE(answers.at(0).toString(), QStringLiteral("Answer 1"));
        QVERIFY(answers.at(3).isNull());
        QCOMPARE(question["right"].toArray(), QJsonArray({1}));
        QCOMPARE(question["text"].toObject()["bytes"].toInt(), 12);
        QCOMPARE(question["literature"].toObject().keys(), QStringList({"index", "page", "punkt"}));
    }

private:
    static QByteArray cipherBytes(const QByteArray& plain) { return cipherQuestionRecord(plain); }
    static QByteArray cipherRecord(const RecordContainerWriter& record) {
        return cipherQuestionRecord(record.bytes());
    }
};

QTEST_GUILESS_MAIN(DumpTest)
#include "tst_korvelbase_dump.moc"
