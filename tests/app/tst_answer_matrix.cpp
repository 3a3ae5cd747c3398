#include "engine/answer_matrix.h"

#include <QTest>

using korvel::AnswerMatrix;

class AnswerMatrixTest : public QObject {
    Q_OBJECT
private slots:
    void shape_data() {
        QTest::addColumn<int>("tickets");
        QTest::addColumn<int>("questions");
        QTest::addColumn<qsizetype>("bytes");
        QTest::newRow("1 x 1") << 1 << 1 << qsizetype(6);
        QTest::newRow("8 x 5") << 8 << 5 << qsizetype(240);
        QTest::newRow("1000 x 1000") << 1000 << 1000 << qsizetype(6000000);
        QTest::newRow("no tickets") << 0 << 5 << qsizetype(0);
        QTest::newRow("negative") << 3 << -1 << qsizetype(0);
    }
    void shape() {
        QFETCH(int, tickets);
        QFETCH(int, questions);
        QFETCH(qsizetype, bytes);
        const AnswerMatrix matrix(tickets, questions);
        QCOMPARE(matrix.bytes().size(), bytes);
        QCOMPARE(matrix.bytes().count('\0'), bytes);
    }

    void cellsAreSeparate() {
        AnswerMatrix matrix(3, 4);
        matrix.setFlag(2, 4, 5, true);
        matrix.setFlag(3, 1, 1, true);
        QCOMPARE(matrix.cell(2, 4), QByteArray("\0\0\0\0\1", 5));
        QCOMPARE(matrix.cell(3, 1), QByteArray("\1\0\0\0\0", 5));
        QVERIFY(!matrix.isAnswered(2, 3));
        QVERIFY(!matrix.isAnswered(3, 2));
        // Byte 6 of every cell is spare.
        for (qsizetype spare = 5; spare < matrix.bytes().size(); spare += 6)
            QCOMPARE(matrix.bytes().at(spare), '\0');
        matrix.clearCell(2, 4);
        QVERIFY(!matrix.isAnswered(2, 4));
    }

    void outOfRangeIsIgnored_data() {
        QTest::addColumn<int>("ticket");
        QTest::addColumn<int>("question");
        QTest::addColumn<int>("answer");
        QTest::newRow("ticket 0") << 0 << 1 << 1;
        QTest::newRow("ticket past end") << 3 << 1 << 1;
        QTest::newRow("question past end") << 1 << 3 << 1;
        QTest::newRow("answer 0") << 1 << 1 << 0;
        QTest::newRow("answer 6") << 1 << 1 << 6;
    }
    void outOfRangeIsIgnored() {
        QFETCH(int, ticket);
        QFETCH(int, question);
        QFETCH(int, answer);
        AnswerMatrix matrix(2, 2);
        matrix.setFlag(ticket, question, answer, true);
        QCOMPARE(matrix.bytes().count('\0'), matrix.bytes().size());
        QVERIFY(!matrix.flag(ticket, question, answer));
    }

    void rightMeansEqualFlags() {
        AnswerMatrix chosen(1, 2);
        AnswerMatrix right(1, 2);
        QVERIFY(korvel::isRight(chosen, right, 1, 1));
        right.setFlag(1, 1, 2, true);
        QVERIFY(!korvel::isRight(chosen, right, 1, 1));
        chosen.setFlag(1, 1, 2, true);
        QVERIFY(korvel::isRight(chosen, right, 1, 1));
        chosen.setFlag(1, 1, 3, true);
        QVERIFY(!korvel::isRight(chosen, right, 1, 1));
    }
};

QTEST_APPLESS_MAIN(AnswerMatrixTest)
#include "tst_answer_matrix.moc"
