#include "basestore/question_cipher.h"
#include "tests/support/test_base_builder.h"
#include "tests/support/zip_surgery.h"
#include "tools/korvelbase/base_check.h"
#include "tools/korvelbase/finding_folder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace korvel;

namespace {

// One ticket of two questions, literature index 1 on the first, page in the help folder.
TestBaseBuilder cleanBase() {
    TestBaseBuilder base;
    base.setCounts(1, 2).descriptor().add("Literature", "L1", "page.htm");
    RecordContainerWriter first = standardQuestion(2);
    first.add("Literature", "Index", "1").add("Literature", "Punkt", "p1");
    base.addEntry("Skin/main.jpg", testJpeg()).addEntry("Skin/good.gif", testGif());
    base.addQuestion(1, 1, "{\\rtf1 one}", first, testJpeg());
    base.addQuestion(1, 2, "two", multipleQuestion({2, 3}));
    return base;
}

} // namespace

class CheckTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString help_;

private slots:
    void initTestCase() {
        help_ = dir_.filePath("Help");
        QVERIFY(QDir().mkpath(help_));
        QFile page(QDir(help_).filePath("page.htm"));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write("<html><body><a name=\"p1\">1</a></body></html>");
    }

    void cleanBaseHasNoProblems() {
        const QString path = dir_.filePath("clean.zip");
        cleanBase().write(path);
        QCOMPARE(checkBase(path, help_), QStringList());
        QCOMPARE(checkBase(path, QString()), QStringList());
    }

    // Each defect on its own, and the words the finding must contain.
    void findings_data() {
        QTest::addColumn<QString>("defect");
        QTest::addColumn<QString>("finding");
        QTest::newRow("no base.dni") << "nodni"
                                     << "base.dni";
        QTest::newRow("counts out of range") << "counts"
                                             << "1001";
        QTest::newRow("no name") << "noname"
                                 << "Name";
        QTest::newRow("text missing") << "notext"
                                      << "B1\\T.2";
        QTest::newRow("text empty") << "emptytext"
                                    << "empty";
        QTest::newRow("record missing") << "norecord"
                                        << "B1\\V.2";
        QTest::newRow("vop/yes 7") << "mode"
                                   << "answer mode";
        QTest::newRow("vop/yes x") << "modex"
                                   << "answer mode";
        QTest::newRow("no answers") << "noanswers"
                                    << "no answers";
        QTest::newRow("right answer without text") << "righttext"
                                                   << "right answer 5";
        QTest::newRow("multiple without right") << "noright"
                                                << "without a right answer";
        QTest::newRow("literature key missing") << "nolkey"
                                                << "L9";
        QTest::newRow("literature page missing") << "nopage"
                                                 << "gone.htm";
        QTest::newRow("anchor missing") << "noanchor"
                                        << "anchor named p7";
        QTest::newRow("question picture broken") << "badjpeg"
                                                 << "B1\\J.2";
        QTest::newRow("main picture broken") << "badmain"
                                             << "Skin\\main.jpg";
        QTest::newRow("animation broken") << "badgif"
                                          << "Skin\\bad.gif";
        QTest::newRow("damaged record") << "crc"
                                        << "damaged";
        QTest::newRow("main picture does not inflate") << "maincrc"
                                                       << "Skin\\main.jpg is damaged";
        QTest::newRow("question picture does not inflate") << "jpegdata"
                                                           << "B1\\J.2 is damaged";
    }
    void findings() {
        QFETCH(QString, defect);
        QFETCH(QString, finding);
        TestBaseBuilder base;
        if (defect == u"counts")
            base.setCounts(1001, 2);
        else if (defect == u"noname")
            base.descriptor().add("Base", "Vop", "2").add("Base", "Bil", "1");
        else if (defect != u"nodni")
            base.setCounts(1, 2);
        if (defect != u"nodni")
            base.descriptor()
                .add("Literature", "L1", "page.htm")
                .add("Literature", "L2", "gone.htm");
        base.addQuestion(1, 1, "fine", standardQuestion(1));

        RecordContainerWriter record = standardQuestion(2);
        QByteArray text = "text";
        QByteArray picture;
        if (defect == u"emptytext")
            text.clear();
        if (defect == u"mode")
            record = RecordContainerWriter().add("vop", "yes", "7").add("vop", "ot1", "a");
        if (defect == u"modex")
            record = RecordContainerWriter().add("vop", "yes", "x").add("vop", "ot1", "a");
        if (defect == u"noanswers")
            record = RecordContainerWriter().add("vop", "yes", "1");
        if (defect == u"righttext")
            record = standardQuestion(5, 3);
        if (defect == u"noright")
            record = multipleQuestion({}, 3);
        if (defect == u"nolkey")
            record.add("Literature", "Index", "9");
        if (defect == u"nopage")
            record.add("Literature", "Index", "2");
        if (defect == u"noanchor")
            record.add("Literature", "Index", "1").add("Literature", "Punkt", "p7");
        if (defect == u"badjpeg")
            picture = "not a picture";
        if (defect == u"jpegdata")
            picture = testJpeg();
        if (defect == u"maincrc")
            base.addEntry("Skin\\main.jpg", testJpeg());
        if (defect == u"badmain")
            base.addEntry("Skin\\main.jpg", testGif());
        if (defect == u"badgif")
            base.addEntry("Skin\\bad.gif", "GIF89a but nothing more");

        if (defect == u"notext")
            base.addRawRecord(1, 2, cipherQuestionRecord(record.bytes()));
        else if (defect == u"norecord")
            base.addEntry("B1\\T.2", text);
        else
            base.addQuestion(1, 2, text, record, picture);

        const QString path = dir_.filePath("defect.zip");
        base.write(path);
        if (defect == u"crc")
            QVERIFY(corruptEntryCrc(path, "B1\\V.2"));
        if (defect == u"maincrc")
            QVERIFY(corruptEntryCrc(path, "Skin\\main.jpg"));
        if (defect == u"jpegdata")
            QVERIFY(corruptEntryData(path, "B1\\J.2"));
        const QStringList problems = checkBase(path, help_);
        QVERIFY2(!problems.isEmpty(), "no problem found");
        QVERIFY2(std::any_of(problems.begin(), problems.end(),
                             [&](const QString& p) { return p.contains(finding); }),
                 qPrintable(problems.join('\n')));
        // The good first question never shows up in the findings.
        for (const QString& problem : problems)
            QVERIFY2(!problem.contains("question 1:"), qPrintable(problem));
    }

    // Findings of questions in base order; runs of one finding over
    // consecutive questions come as one line with a count, each line when
    // its run ends.
    void folding_data() {
        QTest::addColumn<QList<QStringList>>("perQuestion"); // 2 tickets of 3 questions
        QTest::addColumn<QStringList>("lines");
        const QString text = "B%1\\T.%2 is missing";
        const auto missing = [&](int t, int q) { return QStringList{text.arg(t).arg(q)}; };
        QTest::newRow("one") << QList<QStringList>{{}, missing(1, 2), {}, {}, {}, {}}
                             << QStringList{"ticket 1, question 2: B1\\T.2 is missing"};
        QTest::newRow("within a ticket")
            << QList<QStringList>{missing(1, 1), missing(1, 2), missing(1, 3), {}, {}, {}}
            << QStringList{"ticket 1, questions 1 to 3 (3 questions): B<t>\\T.<q> is missing"};
        QTest::newRow("across tickets, ending the base")
            << QList<QStringList>{{},           {}, missing(1, 3), missing(2, 1), missing(2, 2),
                                  missing(2, 3)}
            << QStringList{"ticket 1, question 3 to ticket 2, question 3 (4 questions): "
                           "B<t>\\T.<q> is missing"};
        QTest::newRow("broken by a clean question")
            << QList<QStringList>{missing(1, 1), missing(1, 2), {}, missing(2, 1), {}, {}}
            << QStringList{"ticket 1, questions 1 to 2 (2 questions): B<t>\\T.<q> is missing",
                           "ticket 2, question 1: B2\\T.1 is missing"};
        QTest::newRow("another finding between")
            << QList<QStringList>{missing(1, 1) << "no answers",
                                  missing(1, 2),
                                  {"no answers"},
                                  {},
                                  {},
                                  {}}
            << QStringList{"ticket 1, question 1: no answers",
                           "ticket 1, questions 1 to 2 (2 questions): B<t>\\T.<q> is missing",
                           "ticket 1, question 3: no answers"};
        QTest::newRow("same words, other numbers")
            << QList<QStringList>{{"right answer 2"}, {"right answer 3"}, {}, {}, {}, {}}
            << QStringList{"ticket 1, question 1: right answer 2",
                           "ticket 1, question 2: right answer 3"};
    }
    void folding() {
        QFETCH(QList<QStringList>, perQuestion);
        QFETCH(QStringList, lines);
        QStringList out;
        FindingFolder folder([&out](const QString& line) { out << line; });
        qint64 expected = 0;
        for (int k = 0; k < perQuestion.size(); ++k) {
            folder.question(k / 3 + 1, k % 3 + 1, perQuestion[k]);
            expected += perQuestion[k].size();
        }
        folder.finish();
        QCOMPARE(out, lines);
        QCOMPARE(folder.count(), expected);
    }

    // A descriptor that announces far more than the archive holds.
    void announcedQuestionsFoldIntoFewLines() {
        TestBaseBuilder base;
        base.setCounts(40, 50);
        base.addQuestion(7, 20, "fine", standardQuestion(1));
        const QString path = dir_.filePath("announcing.zip");
        base.write(path);
        QStringList lines;
        const qint64 count =
            checkBase(path, help_, [&lines](const QString& line) { lines << line; });
        QCOMPARE(count, 2 * (40 * 50 - 1));
        QCOMPARE(lines.size(), 4);
        QVERIFY2(lines[0].startsWith("ticket 1, question 1 to ticket 7, question 19 (319 "
                                     "questions): B<t>\\T.<q>"),
                 qPrintable(lines[0]));
        QVERIFY2(lines[3].startsWith("ticket 7, question 21 to ticket 40, question 50 (1680 "
                                     "questions): B<t>\\V.<q>"),
                 qPrintable(lines[3]));
    }

    void folderIsNotABase() {
        const QStringList problems = checkBase(dir_.path(), help_);
        QCOMPARE(problems.size(), 1);
        QVERIFY2(problems[0].contains("folder"), qPrintable(problems[0]));
    }

    void unreadableArchiveIsOneProblem() {
        const QString path = dir_.filePath("garbage.zip");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("this is not a zip archive");
        file.close();
        QCOMPARE(checkBase(path, help_).size(), 1);
    }
};

QTEST_GUILESS_MAIN(CheckTest)
#include "tst_korvelbase_check.moc"
