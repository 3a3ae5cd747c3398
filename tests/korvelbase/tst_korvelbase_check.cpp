#include "basestore/question_cipher.h"
#include "tests/support/test_base_builder.h"
#include "tools/korvelbase/base_check.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

using namespace korvel;

namespace {

using Describe = std::function<void(TestBaseBuilder&)>;

// One ticket of two standard questions, question 1 pointing at a literature page.
TestBaseBuilder cleanBase() {
    TestBaseBuilder base;
    base.setCounts(1, 2);
    base.descriptor().add("Literature", "L1", "page.htm");
    base.addEntry("Skin/main.jpg", testJpeg()).addEntry("Skin/bad.gif", testGif());
    base.addQuestion(1, 1, "one", standardQuestion(2).add("Literature", "Index", "1"), testJpeg());
    base.addQuestion(1, 2, "two", multipleQuestion({1, 4}));
    return base;
}

TestBaseBuilder withQuestion2(const RecordContainerWriter& record) {
    TestBaseBuilder base;
    base.setCounts(1, 2);
    base.addQuestion(1, 1, "one", standardQuestion());
    base.addQuestion(1, 2, "two", record);
    return base;
}

} // namespace

Q_DECLARE_METATYPE(Describe)

class CheckTest : public QObject {
    Q_OBJECT

private slots:
    void cleanBaseHasNoProblems() {
        QTemporaryDir dir;
        QDir().mkpath(dir.filePath("Help"));
        QFile page(dir.filePath("Help/page.htm"));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write("<html></html>");
        page.close();
        cleanBase().write(dir.filePath("base.zip"));
        QCOMPARE(checkBase(dir.filePath("base.zip"), dir.filePath("Help")), QStringList());
        QCOMPARE(checkBase(dir.filePath("base.zip"), QString()), QStringList());
    }

    void findings_data() {
        QTest::addColumn<Describe>("describe");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing base.dni")
            << Describe([](TestBaseBuilder& b) { b.addQuestion(1, 1, "one", standardQuestion()); })
            << "base.dni";
        QTest::newRow("tickets 1001")
            << Describe([](TestBaseBuilder& b) { b.setCounts(1001, 1); }) << "1001";
        QTest::newRow("questions 1001")
            << Describe([](TestBaseBuilder& b) { b.setCounts(1, 1001); }) << "1001";
        QTest::newRow("counts not numbers") << Describe([](TestBaseBuilder& b) {
            b.descriptor().add("Base", "Name", "n").add("Base", "Vop", "x").add("Base", "Bil", "1");
        }) << "Vop";
        QTest::newRow("missing T") << Describe([](TestBaseBuilder& b) {
            b.setCounts(1, 1);
            b.addRawRecord(1, 1, cipherQuestionRecord(standardQuestion().bytes()));
        }) << "B1\\T.1 is missing";
        QTest::newRow("missing V") << Describe([](TestBaseBuilder& b) {
            b.setCounts(1, 1);
            b.addEntry("B1\\T.1", "text");
        }) << "B1\\V.1";
        QTest::newRow("vop/yes 7") << Describe([](TestBaseBuilder& b) {
            b = withQuestion2(
                RecordContainerWriter().add("vop", "yes", "7").add("vop", "ot1", "a"));
        }) << "ticket 1, question 2: B1\\V.2: ";
        QTest::newRow("vop/yes x") << Describe([](TestBaseBuilder& b) {
            b = withQuestion2(
                RecordContainerWriter().add("vop", "yes", "x").add("vop", "ot1", "a"));
        }) << "ticket 1, question 2: B1\\V.2: ";
        QTest::newRow("no answers") << Describe([](TestBaseBuilder& b) {
            b = withQuestion2(RecordContainerWriter().add("vop", "yes", "1"));
        }) << "question 2: the question has no answers";
        QTest::newRow("right answer without text")
            << Describe([](TestBaseBuilder& b) { b = withQuestion2(standardQuestion(5, 3)); })
            << "question 2: the right answer 5 has no text";
        QTest::newRow("multiple without right")
            << Describe([](TestBaseBuilder& b) { b = withQuestion2(multipleQuestion({})); })
            << "question 2: a multiple-answer question without a right answer";
        QTest::newRow("literature page not in help") << Describe([](TestBaseBuilder& b) {
            b = withQuestion2(standardQuestion().add("Literature", "Index", "3"));
            b.descriptor().add("Literature", "L3", "gone.htm");
        }) << "literature page gone.htm is not in";
        QTest::newRow("literature index without L") << Describe([](TestBaseBuilder& b) {
            b = withQuestion2(standardQuestion().add("Literature", "Index", "3"));
        }) << "base.dni has no Literature/L3";
        QTest::newRow("question picture") << Describe([](TestBaseBuilder& b) {
            b.setCounts(1, 1);
            b.addQuestion(1, 1, "one", standardQuestion(), "not a jpeg");
        }) << "B1\\J.1 does not decode";
        QTest::newRow("main picture") << Describe([](TestBaseBuilder& b) {
            b = withQuestion2(standardQuestion());
            b.addEntry("Skin/main.jpg", testGif());
        }) << "main.jpg does not decode";
        QTest::newRow("bad animation") << Describe([](TestBaseBuilder& b) {
            b = withQuestion2(standardQuestion());
            b.addEntry("Skin/bad.gif", testJpeg().left(40));
        }) << "bad.gif does not decode";
    }
    void findings() {
        QFETCH(Describe, describe);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QDir().mkpath(dir.filePath("Help"));
        TestBaseBuilder base;
        describe(base);
        base.write(dir.filePath("base.zip"));
        const QStringList problems = checkBase(dir.filePath("base.zip"), dir.filePath("Help"));
        QVERIFY2(problems.join('\n').contains(expected), qPrintable(problems.join('\n')));
    }
};

QTEST_GUILESS_MAIN(CheckTest)
#include "tst_korvelbase_check.moc"
