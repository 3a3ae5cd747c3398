#include "basestore/question_cipher.h"
#include "basestore/question_record.h"
#include "basestore/record_container.h"
#include "container_fixture.h"
#include "zip_fixture.h"

#include <QTemporaryDir>
#include <QTest>

using namespace korvel;

Q_DECLARE_METATYPE(QList<int>)

class QuestionRecordTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    QString baseWith(const QByteArray& plainRecord) {
        const QString path = dir_.filePath("base.zip");
        if (!writeZip(path, {{"B2/V.3", cipherQuestionRecord(plainRecord)}}))
            qFatal("cannot write the test base");
        return path;
    }

private slots:
    void entryNames() {
        QCOMPARE(questionTextEntry(3, 7), QStringLiteral("B3\\T.7"));
        QCOMPARE(questionPictureEntry(12, 1), QStringLiteral("B12\\J.1"));
        QCOMPARE(questionRecordEntry(1000, 1000), QStringLiteral("B1000\\V.1000"));
    }

    void keys_data() {
        QTest::addColumn<QByteArray>("record");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QList<int>>("present");
        QTest::addColumn<QList<int>>("right");

        QTest::newRow("mode 3, four answers") << container({{"vop", "yes", "3"},
                                                            {"vop", "ot1", "a"},
                                                            {"vop", "ot2", "b"},
                                                            {"vop", "ot3", "c"},
                                                            {"vop", "ot4", "d"}})
                                              << 3 << QList<int>{1, 2, 3, 4} << QList<int>{3};
        QTest::newRow("mode 0 with marks") << container({{"vop", "yes", "0"},
                                                         {"vop", "ot1", "a"},
                                                         {"vop", "ot2", "b"},
                                                         {"vop", "ot3", "c"},
                                                         {"vop", "V1", "1"},
                                                         {"vop", "V3", "1"}})
                                           << 0 << QList<int>{1, 2, 3} << QList<int>{1, 3};
        QTest::newRow("marks of answers without text are not read")
            << container({{"vop", "yes", "0"},
                          {"vop", "ot2", "b"},
                          {"vop", "V1", "1"},
                          {"vop", "V2", "0"},
                          {"vop", "V5", "1"}})
            << 0 << QList<int>{2} << QList<int>{};
        QTest::newRow("a mark other than 1 is wrong")
            << container({{"vop", "yes", "0"}, {"vop", "ot1", "a"}, {"vop", "V1", "yes"}}) << 0
            << QList<int>{1} << QList<int>{};
        QTest::newRow("no vop/yes counts as 1")
            << container({{"vop", "ot1", "a"}, {"vop", "ot2", "b"}}) << 1 << QList<int>{1, 2}
            << QList<int>{1};
        QTest::newRow("empty vop/yes counts as 1")
            << container({{"vop", "yes", ""}, {"vop", "ot5", "e"}}) << 1 << QList<int>{5}
            << QList<int>{1};
        QTest::newRow("empty record") << QByteArray() << 1 << QList<int>{} << QList<int>{1};
        QTest::newRow("empty answer text is no answer")
            << container({{"vop", "yes", "2"}, {"vop", "ot1", ""}, {"vop", "ot2", "b"}}) << 2
            << QList<int>{2} << QList<int>{2};
    }

    void keys() {
        QFETCH(QByteArray, record);
        QFETCH(int, mode);
        QFETCH(QList<int>, present);
        QFETCH(QList<int>, right);

        ByteStream stream(record);
        const QuestionRecord keys = readQuestionKeys(stream);
        QCOMPARE(keys.answerMode, mode);
        QList<int> withText;
        for (int n = 1; n <= AnswerCount; ++n) {
            if (keys.hasAnswer(n))
                withText << n;
        }
        QCOMPARE(withText, present);
        QCOMPARE(keys.rightAnswers(), right);
    }

    void badAnswerModes_data() {
        QTest::addColumn<QByteArray>("value");
        for (const char* value : {"6", "-1", "x", "1x", " 1", "99999999999", "+2"})
            QTest::newRow(value) << QByteArray(value);
    }

    void badAnswerModes() {
        QFETCH(QByteArray, value);
        ByteStream stream(container({{"vop", "yes", value}, {"vop", "ot1", "a"}}));
        QVERIFY_THROWS_EXCEPTION(AnswerModeError, readQuestionKeys(stream));
    }

    void malformedContainerIsAConversionError() {
        QByteArray bad = QByteArray("\0vop\0ot1\0zz\0a\0", 15);
        ByteStream stream(bad);
        QVERIFY_THROWS_EXCEPTION(RecordConversionError, readQuestionKeys(stream));
    }

    void literatureAndMultiLineAnswers() {
        ByteStream stream(container({{"Literature", "Index", "2"},
                                     {"Literature", "Punkt", "p4"},
                                     {"vop", "ot1", "line one\r\nline two"}}));
        const QuestionRecord keys = readQuestionKeys(stream);
        QCOMPARE(keys.literatureIndex, QByteArray("2"));
        QCOMPARE(keys.literaturePunkt, QByteArray("p4"));
        QCOMPARE(keys.answers[0], QByteArray("line one\r\nline two"));
    }

    void readsAndDeciphersFromTheArchive_data() {
        QTest::addColumn<int>("answerLength");
        QTest::newRow("one block") << 100;
        QTest::newRow("longer than 16 KiB") << 20000;
    }

    void readsAndDeciphersFromTheArchive() {
        QFETCH(int, answerLength);
        QByteArray longAnswer(answerLength, 'x');
        longAnswer[answerLength - 1] = 'z';
        const QByteArray plain = container({{"vop", "ot1", "first"},
                                            {"vop", "ot2", longAnswer},
                                            {"vop", "yes", "2"},
                                            {"vop", "ot3", "last"}});
        const QString base = baseWith(plain);
        Archiver archiver;
        ByteStream record = ReadQuestionRecord(archiver, base, 2, 3);
        QVERIFY(!archiver.isOpen());
        QCOMPARE(record.position(), 0);
        QCOMPARE(record.bytes(), plain);
        QCOMPARE(ReadQuestionRecord(archiver, base, 2, 3).bytes(), plain);
        const QuestionRecord keys = readQuestionKeys(record);
        QCOMPARE(keys.answers[1], longAnswer);
        QCOMPARE(keys.answers[2], QByteArray("last"));
        QCOMPARE(keys.answerMode, 2);
    }

    void missingRecordIsAnArchiveError() {
        const QString base = baseWith(container({{"vop", "yes", "1"}}));
        Archiver archiver;
        QVERIFY_THROWS_EXCEPTION(ArchiveError, ReadQuestionRecord(archiver, base, 1, 1));
        QVERIFY(!archiver.isOpen());
        QVERIFY_THROWS_EXCEPTION(ArchiveError,
                                 ReadQuestionRecord(archiver, dir_.filePath("none.zip"), 2, 3));
    }
};

QTEST_GUILESS_MAIN(QuestionRecordTest)
#include "tst_question_record.moc"
