#include "tests/support/dump_collector.h"
#include "tests/support/test_base_builder.h"
#include "tools/korvelbase/base_source.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>

using namespace korvel;

namespace {

using Files = QMap<QString, QByteArray>;

// Six questions in one ticket: right answer 1 .. 5 and one with several.
Files goodSource() {
    Files files;
    files["base.ini"] = "# a comment\n"
                        "[Base]\n"
                        "Name = Электробезопасность\n"
                        "Descript = Первая строка\n"
                        "    вторая строка\n"
                        "Pozdr = Отлично!\n"
                        "    Молодец\n"
                        "Izdevat = Плохо\n"
                        "[Literature]\n"
                        "L1 = pue.htm#p1\n";
    files["Skin/main.jpg"] = testJpeg();
    files["Skin/good.gif"] = testGif();
    for (int q = 1; q <= 5; ++q) {
        QByteArray ini;
        for (int n = 1; n <= 5; ++n)
            ini += "answer" + QByteArray::number(n) + " = Ответ " + QByteArray::number(n) + "\n";
        ini += "right = " + QByteArray::number(q) + "\n";
        files[QStringLiteral("B1/%1.ini").arg(q)] = ini;
        files[QStringLiteral("B1/%1.txt").arg(q)] = "Вопрос " + QByteArray::number(q) + "\n";
    }
    files["B1/1.txt"] = "Строка\nвторая\n\n";
    files["B1/1.ini"] += "literature = 1\npunkt = п. 3\n";
    files["B1/1.jpg"] = testJpeg();
    files["B1/6.ini"] = "answer1 = да\nanswer2 = нет\nanswer3 =\n    две\n    строки\n"
                        "right = 1, 3\nmultiple = yes\n";
    files["B1/6.rtf"] = "{\\rtf1\\ansi Вопрос шесть}";
    return files;
}

void writeFiles(const QString& folder, const Files& files) {
    for (auto it = files.begin(); it != files.end(); ++it) {
        const QString path = QDir(folder).filePath(it.key());
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(it.value());
    }
}

QByteArray cp1251(const char* utf8) {
    QByteArray bytes;
    for (const QChar c : QString::fromUtf8(utf8)) {
        const ushort u = c.unicode();
        bytes += u >= 0x410 && u <= 0x44F ? char(0xC0 + (u - 0x410)) : char(u);
    }
    return bytes;
}

} // namespace

class BuildSourceTest : public QObject {
    Q_OBJECT

private slots:
    void buildThenDumpRoundTrip() {
        QTemporaryDir dir;
        writeFiles(dir.filePath("src"), goodSource());
        const BaseSource source = loadBaseSource(dir.filePath("src"));
        QVERIFY2(source.errors.isEmpty(), qPrintable(source.errors.join('\n')));
        QCOMPARE(source.tickets, 1);
        QCOMPARE(source.questionsPerTicket, 6);
        const QString path = dir.filePath("base.zip");
        writeBaseArchive(source, path);

        DumpCollector dump;
        QVERIFY(dumpBase(path, dump));
        QVERIFY(dump.finished);
        const DumpedBase& base = dump.dumped;
        QVERIFY(!base.error);
        QCOMPARE(base.name, QStringLiteral("Электробезопасность"));
        QCOMPARE(base.descript, QStringLiteral("Первая строка\r\nвторая строка"));
        QCOMPARE(base.tickets, 1);
        QCOMPARE(base.questionsPerTicket, 6);
        QCOMPARE(base.pozdr, QStringList({"Отлично!", "Молодец"}));
        QCOMPARE(base.izdevat, QStringList({"Плохо"}));
        QVERIFY(base.mainPicture);
        QVERIFY(base.goodAnimation);
        QVERIFY(!base.badAnimation);

        QCOMPARE(dump.questions.size(), 6);
        for (int q = 1; q <= 5; ++q) {
            const DumpedQuestion& question = dump.questions[q - 1];
            QVERIFY(!question.error);
            QCOMPARE(question.question, q);
            QCOMPARE(question.answerMode, q);
            QCOMPARE(question.right, QList<int>{q});
            QCOMPARE(question.answers[4], QStringLiteral("Ответ 5"));
            QVERIFY(question.textPresent);
            QVERIFY(!question.textRtf);
            QCOMPARE(question.picture, q == 1);
        }
        const DumpedQuestion& first = dump.questions[0];
        QCOMPARE(first.textBytes, cp1251("Строка\r\nвторая").size());
        QCOMPARE(first.literatureIndex, QStringLiteral("1"));
        QCOMPARE(first.literaturePunkt, QStringLiteral("п. 3"));
        QCOMPARE(first.literaturePage, QStringLiteral("pue.htm#p1"));
        QCOMPARE(dump.questions[1].literaturePage, QString());

        const DumpedQuestion& multiple = dump.questions[5];
        QVERIFY(!multiple.error);
        QCOMPARE(multiple.answerMode, 0);
        QCOMPARE(multiple.right, QList<int>({1, 3}));
        QCOMPARE(multiple.answers[2], QStringLiteral("две\r\nстроки"));
        QVERIFY(!multiple.answers[3]);
        QVERIFY(multiple.textRtf);
        QCOMPARE(multiple.textBytes, cp1251("{\\rtf1\\ansi Вопрос шесть}").size());
    }

    void twoBuildsAreIdentical() {
        QTemporaryDir dir;
        writeFiles(dir.filePath("src"), goodSource());
        writeBaseArchive(loadBaseSource(dir.filePath("src")), dir.filePath("a.zip"));
        writeBaseArchive(loadBaseSource(dir.filePath("src")), dir.filePath("b.zip"));
        QFile a(dir.filePath("a.zip"));
        QFile b(dir.filePath("b.zip"));
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QCOMPARE(a.readAll(), b.readAll());
    }

    void sourceErrorsAreReported_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content"); // empty: the file is removed
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing base.ini") << "base.ini" << QByteArray() << "base.ini is missing";
        QTest::newRow("no answers")
            << "B1/2.ini" << QByteArray("right = 1\n") << "B1/2.ini: no answers";
        QTest::newRow("right out of range") << "B1/2.ini" << QByteArray("answer1 = a\nright = 7\n")
                                            << "'7' is not an answer number";
        QTest::newRow("right not a number") << "B1/2.ini" << QByteArray("answer1 = a\nright = x\n")
                                            << "'x' is not an answer number";
        QTest::newRow("right on an empty answer")
            << "B1/2.ini" << QByteArray("answer1 = a\nright = 2\n")
            << "answer 2 is marked right but has no text";
        QTest::newRow("no right") << "B1/2.ini" << QByteArray("answer1 = a\n")
                                  << "give the right answer";
        QTest::newRow("several right, multiple = no")
            << "B1/2.ini" << QByteArray("answer1 = a\nanswer2 = b\nright = 1 2\nmultiple = no\n")
            << "multiple = yes";
        QTest::newRow("not Windows-1251")
            << "B1/2.ini" << QByteArray("answer1 = a \xE2\x9C\x93\nright = 1\n")
            << "B1/2.ini:1: the character '\u2713' (U+2713)";
        QTest::newRow("literature without L key")
            << "B1/2.ini" << QByteArray("answer1 = a\nright = 1\nliterature = 9\n")
            << "has no [Literature] L9";
        QTest::newRow("key given twice")
            << "B1/2.ini" << QByteArray("answer1 = a\nanswer1 = b\nright = 1\n")
            << "answer1 is given twice";
        QTest::newRow("text missing") << "B1/2.txt" << QByteArray() << "B1/2: the question text";
        QTest::newRow("picture does not decode")
            << "B1/2.jpg" << QByteArray("not a picture") << "B1/2.jpg: does not decode";
        QTest::newRow("gap in questions") << "B1/8.txt" << QByteArray("x") << "B1/7.ini is missing";
        QTest::newRow("ticket with fewer questions")
            << "B2/1.ini" << QByteArray("answer1 = a\nright = 1\n") << "B2 has 1 questions";
        QTest::newRow("counts given by hand")
            << "base.ini" << QByteArray("[Base]\nName = x\nVop = 3\n")
            << "Vop is counted from the ticket folders";
    }
    void sourceErrorsAreReported() {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        Files files = goodSource();
        if (content.isEmpty())
            files.remove(file);
        else
            files[file] = content;
        if (file.startsWith("B2"))
            files["B2/1.txt"] = "text";
        QTemporaryDir dir;
        writeFiles(dir.filePath("src"), files);
        const BaseSource source = loadBaseSource(dir.filePath("src"));
        const QString errors = source.errors.join('\n');
        QVERIFY2(errors.contains(expected), qPrintable(errors));
    }

    void missingFolderIsAnError() {
        QVERIFY(!loadBaseSource("/nonexistent/source").errors.isEmpty());
    }
};

QTEST_GUILESS_MAIN(BuildSourceTest)
#include "tst_korvelbase_build_source.moc"
