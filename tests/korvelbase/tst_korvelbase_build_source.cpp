#include "tests/support/dump_collector.h"
#include "tests/support/test_base_builder.h"
#include "tools/korvelbase/base_source.h"
#include "tools/korvelbase/key_value_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace korvel;

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// A source folder of one ticket with two questions.
void writeGoodSource(const QString& folder) {
    writeFile(folder + "/base.ini", "# demo\n[Base]\nName = Проверка\nDescript =\n    первая\n"
                                    "    .\n    третья\nPozdr = Молодец\n    Отлично\n"
                                    "[Literature]\nL1 = rules.htm\n");
    writeFile(folder + "/B1/1.txt", "Вопрос один\nвторая строка\n\n");
    writeFile(folder + "/B1/1.ini", "answer1 = Да\nanswer3 = Нет\n    совсем\nright = 3\n"
                                    "literature = 1\npunkt = p2\n");
    writeFile(folder + "/B1/2.rtf", "{\\rtf1\\ansi\\ansicpg1251 Ж}\n");
    writeFile(folder + "/B1/2.ini", "answer1 = a\nanswer2 = b\nanswer4 = d\nright = 1, 4\n");
    writeFile(folder + "/B1/2.jpg", testJpeg());
    writeFile(folder + "/Skin/main.jpg", testJpeg());
}

} // namespace

class BuildSourceTest : public QObject {
    Q_OBJECT

private slots:
    void sourceRoundTripsThroughTheReaders() {
        QTemporaryDir dir;
        const QString folder = dir.filePath("src");
        writeGoodSource(folder);
        const BaseSource source = loadBaseSource(folder);
        QVERIFY2(source.errors.isEmpty(), qPrintable(source.errors.join('\n')));
        QCOMPARE(source.tickets, 1);
        QCOMPARE(source.questionsPerTicket, 2);
        writeBaseArchive(source, dir.filePath("out.zip"));

        DumpCollector dump;
        QVERIFY(dumpBase(dir.filePath("out.zip"), dump));
        QCOMPARE(dump.dumped.name, QStringLiteral("Проверка"));
        QCOMPARE(dump.dumped.descript, QStringLiteral("первая\r\n\r\nтретья"));
        QCOMPARE(dump.dumped.pozdr, QStringList({"Молодец", "Отлично"}));
        QVERIFY(dump.dumped.mainPicture && !dump.dumped.badAnimation);
        QCOMPARE(dump.questions.size(), 2);

        const DumpedQuestion& q1 = dump.questions[0];
        QVERIFY(!q1.textRtf);
        // CR LF, Windows-1251 (one byte a letter), trailing line breaks dropped.
        QCOMPARE(q1.textBytes, qsizetype(QStringLiteral("Вопрос один\r\nвторая строка").size()));
        QCOMPARE(q1.answerMode, 3);
        QCOMPARE(*q1.answers[2], QStringLiteral("Нет\r\nсовсем"));
        QVERIFY(!q1.answers[1]);
        QCOMPARE(q1.literaturePage, QStringLiteral("rules.htm"));
        QCOMPARE(q1.literaturePunkt, QStringLiteral("p2"));

        const DumpedQuestion& q2 = dump.questions[1];
        QVERIFY(q2.textRtf && q2.picture);
        QCOMPARE(q2.answerMode, 0);
        QCOMPARE(q2.right, QList<int>({1, 4}));
    }

    void twoBuildsAreIdentical() {
        QTemporaryDir dir;
        writeGoodSource(dir.filePath("src"));
        writeBaseArchive(loadBaseSource(dir.filePath("src")), dir.filePath("a.zip"));
        writeBaseArchive(loadBaseSource(dir.filePath("src")), dir.filePath("b.zip"));
        QFile a(dir.filePath("a.zip")), b(dir.filePath("b.zip"));
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QCOMPARE(a.readAll(), b.readAll());
    }

    // A mistake in the source: the file to (over)write, its content, and a word of the error.
    void sourceMistakes_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("errorPart");
        QTest::newRow("missing base.ini") << "base.ini" << QByteArray() << "base.ini is missing";
        QTest::newRow("right 7") << "B1/1.ini" << QByteArray("answer1 = a\nright = 7\n")
                                 << "'7' is not an answer";
        QTest::newRow("several right, multiple = no")
            << "B1/1.ini" << QByteArray("answer1 = a\nanswer2 = b\nright = 1, 2\nmultiple = no\n")
            << "multiple = yes";
        QTest::newRow("no name") << "base.ini" << QByteArray("[Base]\nDescript = x\n") << "Name";
        QTest::newRow("counts given")
            << "base.ini" << QByteArray("[Base]\nName = n\nVop = 3\n") << "Vop";
        QTest::newRow("unknown base key")
            << "base.ini" << QByteArray("[Base]\nName = n\nNmae = x\n") << "Nmae";
        QTest::newRow("key twice")
            << "B1/1.ini" << QByteArray("answer1 = a\nanswer1 = b\nright = 1\n") << "twice";
        QTest::newRow("not UTF-8")
            << "B1/1.txt" << QByteArray("\xC2\xEE\xEF\xF0\xEE\xF1") << "UTF-8";
        QTest::newRow("not Windows-1251")
            << "B1/1.ini" << QByteArray("answer1 = 中\nright = 1\n") << "U+4e2d";
        QTest::newRow("right without text")
            << "B1/1.ini" << QByteArray("answer1 = a\nright = 2\n") << "no text";
        QTest::newRow("no right answer") << "B1/1.ini" << QByteArray("answer1 = a\n") << "right";
        QTest::newRow("no answers") << "B1/1.ini" << QByteArray("right = 1\n") << "no answers";
        QTest::newRow("unknown literature")
            << "B1/1.ini" << QByteArray("answer1 = a\nright = 1\nliterature = 4\n") << "L4";
        QTest::newRow("rtf that is not RTF") << "B1/2.rtf" << QByteArray("plain") << "{\\rtf";
        QTest::newRow("txt that is RTF") << "B1/1.txt" << QByteArray("{\\rtf1 x}") << ".rtf";
        QTest::newRow("both text kinds") << "B1/2.txt" << QByteArray("x") << "keep one";
        QTest::newRow("picture not JPEG") << "B1/2.jpg" << QByteArray("png?") << "JPEG";
        QTest::newRow("png picture") << "B1/1.png" << testJpeg() << "1.jpg";
        QTest::newRow("gap in questions")
            << "B1/4.ini" << QByteArray("answer1 = a\nright = 1\n") << "B1/3.ini";
        QTest::newRow("gap in tickets")
            << "B3/1.ini" << QByteArray("answer1 = a\nright = 1\n") << "B2";
        QTest::newRow("stray indentation")
            << "B1/1.ini" << QByteArray("  answer1 = a\n") << "continues";
    }
    void sourceMistakes() {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(QString, errorPart);
        QTemporaryDir dir;
        const QString folder = dir.filePath("src");
        writeGoodSource(folder);
        if (content.isEmpty())
            QVERIFY(QFile::remove(folder + u'/' + file));
        else
            writeFile(folder + u'/' + file, content);
        const BaseSource source = loadBaseSource(folder);
        QVERIFY(!source.errors.isEmpty());
        QVERIFY2(std::any_of(source.errors.begin(), source.errors.end(),
                             [&](const QString& e) { return e.contains(errorPart); }),
                 qPrintable(source.errors.join('\n')));
    }

    void continuationLines() {
        const QList<KeyValueEntry> entries = parseKeyValueFile(
            "a = one\n  two\n\t.\n  four\n# comment\nb =\n  first\r\n[S]\na = x\n", "t.ini");
        QCOMPARE(entries.size(), 3);
        QCOMPARE(entries[0].value, QStringLiteral("one\ntwo\n\nfour"));
        QCOMPARE(entries[1].value, QStringLiteral("first"));
        QCOMPARE(entries[2].section, QStringLiteral("S"));
        QCOMPARE(entries[2].line, 9);
    }
};

QTEST_GUILESS_MAIN(BuildSourceTest)
#include "tst_korvelbase_build_source.moc"
