// Small banks in each format, the cases their documentation describes, and
// what the importers keep of them, word for word.
#include "interchange/aiken_import.h"
#include "interchange/csv_import.h"
#include "interchange/gift_import.h"
#include "interchange/moodle_xml_import.h"
#include "tests/interchange/bank_description.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

using namespace korvel;

namespace {

QByteArray pngBase64() {
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png.toBase64();
}

QByteArray quiz(const QByteArray& questions) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<quiz>\n" + questions + "</quiz>\n";
}

QByteArray multichoice(const QByteArray& name, const QByteArray& single, const QByteArray& answers,
                       const QByteArray& text = "Text") {
    return "<question type=\"multichoice\"><name><text>" + name +
           "</text></name><questiontext format=\"html\"><text>" + text +
           "</text></questiontext><single>" + single + "</single>" + answers + "</question>\n";
}

QByteArray answer(const QByteArray& fraction, const QByteArray& text) {
    return "<answer fraction=\"" + fraction + "\" format=\"html\"><text>" + text +
           "</text><feedback format=\"html\"><text>no</text></feedback></answer>";
}

QByteArray category(const QByteArray& path) {
    return "<question type=\"category\"><category><text>" + path +
           "</text></category></question>\n";
}

} // namespace

class BankImportTest : public QObject {
    Q_OBJECT

private slots:
    void moodleXml_data();
    void moodleXml();
    void gift_data();
    void gift();
    void aiken_data();
    void aiken();
    void csv_data();
    void csv();
    void csvPictureBesideTheTable();
    void csvRecords();
};

void BankImportTest::moodleXml_data() {
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("warnings");

    const QByteArray three = answer("100", "Right") + answer("0", "Wrong") + answer("0", "Other");
    QTest::newRow("single, CDATA text, entities in answers")
        << quiz(multichoice("Q1", "true",
                            answer("0", "&lt;b&gt;bold&lt;/b&gt; &amp; more") +
                                answer("100", "<![CDATA[<p>Two &gt; one</p>]]>"),
                            "<![CDATA[<p>Is <b>2</b> &gt; 1?</p>]]>"))
        << "|Q1|html:Is 2 > 1?|S|bold & more,Two > one*" << QStringList{};
    QTest::newRow("single false, negative fractions")
        << quiz(multichoice("Q2", "false",
                            answer("50", "A") + answer("50", "B") + answer("-100", "C")))
        << "|Q2|html:Text|M|A*,B*,C" << QStringList{};
    QTest::newRow("six answers refused, five kept")
        << quiz(multichoice("Six", "true", three + three) +
                multichoice("Five", "true", three + answer("0", "4") + answer("0", "5")))
        << "|Five|html:Text|S|Right*,Wrong,Other,4,5"
        << QStringList{
               "question \"Six\": has 6 answers, a base question holds at most 5; left out"};
    QTest::newRow("one answer refused")
        << quiz(multichoice("One", "true", answer("100", "Only"))) << ""
        << QStringList{"question \"One\": has 1 answer(s), a base question needs at least 2; "
                       "left out"};
    QTest::newRow("an answer that is only a picture")
        << quiz(multichoice("Pic", "true",
                            answer("100", "<![CDATA[<img src=\"@@PLUGINFILE@@/a.png\">]]>") +
                                answer("0", "B")))
        << "" << QStringList{"question \"Pic\": answer 1 has no text; left out"};
    QTest::newRow("partial marks in a single-answer question")
        << quiz(multichoice("Part", "true", answer("100", "A") + answer("50", "B")))
        << "|Part|html:Text|S|A*,B"
        << QStringList{"question \"Part\": the partial marks of answer 2 are not kept"};
    QTest::newRow("two answers with full marks")
        << quiz(multichoice("Either", "true", answer("100", "A") + answer("100", "B"))) << ""
        << QStringList{"question \"Either\": 2 answers earn full marks each, the base cannot "
                       "hold a choice of right answers; left out"};
    QTest::newRow("category tree")
        << quiz(category("$course$/top/Fire") + multichoice("F1", "true", three) +
                category("$course$/top/Fire/Extinguishers") + multichoice("F2", "1", three) +
                category("$system$/Electric") + multichoice("E1", "true", three))
        << "Fire|F1|html:Text|S|Right*,Wrong,Other\n"
           "Fire/Extinguishers|F2|html:Text|S|Right*,Wrong,Other\n"
           "Electric|E1|html:Text|S|Right*,Wrong,Other"
        << QStringList{};
    QTest::newRow("true/false with its own answer texts")
        << quiz("<question type=\"truefalse\"><name><text>TF</text></name><questiontext "
                "format=\"moodle_auto_format\"><text>Sky is blue</text></questiontext>" +
                answer("0", "true") + answer("100", "false") + "</question>")
        << "|TF|html:Sky is blue|S|true,false*" << QStringList{};
    QTest::newRow("other kinds skipped by name")
        << quiz("<question type=\"essay\"><name><text>Essay one</text></name></question>"
                "<question type=\"matching\"><name><text>Match</text></name></question>" +
                multichoice("Kept", "true", three) +
                "<question type=\"shortanswer\"><questiontext><text>x</text></questiontext>"
                "</question>")
        << "|Kept|html:Text|S|Right*,Wrong,Other"
        << QStringList{"question \"Essay one\": is a essay question, which a base cannot hold; "
                       "left out",
                       "question \"Match\": is a matching question, which a base cannot hold; "
                       "left out",
                       "question \"question 4 of the file\": is a shortanswer question, which a "
                       "base cannot hold; left out"};
    QTest::newRow("plain text question")
        << quiz("<question type=\"multichoice\"><name><text>P</text></name><questiontext "
                "format=\"plain_text\"><text>a &lt;b&gt; c\nline</text></questiontext>" +
                three + "</question>")
        << "|P|a <b> c\nline|S|Right*,Wrong,Other" << QStringList{};
    QTest::newRow("embedded picture, sound and outside picture")
        << quiz("<question type=\"multichoice\"><name><text>With files</text></name>"
                "<questiontext format=\"html\"><text><![CDATA[<p>Look <img "
                "src=\"@@PLUGINFILE@@/red%20dot.png\"> and <img "
                "src=\"http://example.org/x.png\"></p>]]></text>"
                "<file name=\"red dot.png\" path=\"/\" encoding=\"base64\">" +
                pngBase64() +
                "</file><file name=\"ring.mp3\" path=\"/\" "
                "encoding=\"base64\">AAAA</file></questiontext>" +
                three + "</question>")
        << "|With files|html:Look and|S|Right*,Wrong,Other|picture"
        << QStringList{"question \"With files\": picture http://example.org/x.png is not in "
                       "the file; left out",
                       "question \"With files\": sound ring.mp3 is left out"};
    QTest::newRow("older image_base64")
        << quiz("<question type=\"multichoice\"><name><text>Old</text></name><questiontext "
                "format=\"html\"><text>T</text></questiontext><image>a.png</image>"
                "<image_base64>" +
                pngBase64() + "</image_base64>" + three + "</question>")
        << "|Old|html:T|S|Right*,Wrong,Other|picture" << QStringList{};
    QTest::newRow("DTD refused")
        << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE quiz [<!ENTITY a \"aaaaaaaa\">"
                      "<!ENTITY b \"&a;&a;&a;&a;&a;&a;\">]><quiz>") +
               multichoice("&b;", "true", three) + "</quiz>"
        << ""
        << QStringList{"line 1, column 93: the file declares a DTD, which is not accepted; "
                       "nothing after it was read"};
    QTest::newRow("external entity refused")
        << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE quiz SYSTEM \"file:///etc/passwd\">"
                      "<quiz></quiz>")
        << ""
        << QStringList{"line 1, column 64: the file declares a DTD, which is not accepted; "
                       "nothing after it was read"};
    QTest::newRow("undeclared entity")
        << quiz(multichoice("Q", "true", three, "&secret;")) << ""
        << QStringList{"line 3, column 98: Entity 'secret' not declared; nothing after it was "
                       "read"};
    QTest::newRow("cut short: what came before stays")
        << "<quiz>\n" + multichoice("Whole", "true", three) +
               multichoice("Cut", "true", three).left(60)
        << "|Whole|html:Text|S|Right*,Wrong,Other"
        << QStringList{"line 3, column 60: Premature end of document; nothing after it was read"};
    QTest::newRow("not a quiz")
        << QByteArray("<html><body/></html>") << ""
        << QStringList{"line 1, column 6: the top element is <html>, not <quiz>; nothing after "
                       "it was read"};
    QTest::newRow("empty quiz") << quiz("") << "" << QStringList{"the file holds no <question>"};
}

void BankImportTest::moodleXml() {
    QFETCH(QByteArray, xml);
    const QuestionBank bank = importMoodleXml(xml);
    QFETCH(QString, expected);
    QFETCH(QStringList, warnings);
    QCOMPARE(describeBank(bank), expected);
    QCOMPARE(bank.warnings, warnings);
}

void BankImportTest::gift_data() {
    QTest::addColumn<QByteArray>("gift");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("warnings");

    QTest::newRow("escaped special characters")
        << QByteArray("::a\\:b::Is 1 \\= 2 \\{or\\} \\~3 \\# 4\\\\?{=yes\\: really ~no \\~ ~x\\=y}")
        << "|a:b|Is 1 = 2 {or} ~3 # 4\\?|S|yes: really*,no ~,x=y" << QStringList{};
    QTest::newRow("title, format marker, feedback")
        << QByteArray("// a comment line\n::Q1::[html]<p>Pick <b>one</b></p>{\n"
                      "  =Right#Well done\n  ~Wrong#No\n  ~Also wrong\n  ####General\n}\n")
        << "|Q1|html:Pick one|S|Right*,Wrong,Also wrong" << QStringList{};
    QTest::newRow("true and false")
        << QByteArray("::T::Grass is green.{T}\n\n::F::Snow is black.{FALSE#It is white.}\n\n"
                      "Fire is cold.{F}")
        << "|T|Grass is green.|S|Верно*,Неверно\n"
           "|F|Snow is black.|S|Верно,Неверно*\n"
           "|Fire is cold.|Fire is cold.|S|Верно,Неверно*"
        << QStringList{};
    QTest::newRow("weights make a multiple-answer question")
        << QByteArray("::W::Which are metals? {~%50%Iron ~%50%Copper ~%-100%Wood}")
        << "|W|Which are metals?|M|Iron*,Copper*,Wood" << QStringList{};
    QTest::newRow("categories") << QByteArray(
                                       "$CATEGORY: $course$/top/Fire/Alarms\n\n::A::a{=1 ~2}\n\n"
                                       "$CATEGORY: Electric\n::B::b{=1 ~2}\n")
                                << "Fire/Alarms|A|a|S|1*,2\nElectric|B|b|S|1*,2" << QStringList{};
    QTest::newRow("missing word") << QByteArray("Moscow is {=the capital ~a village} of Russia.")
                                  << "|Moscow is _____ of Russia.|Moscow is _____ of Russia.|S|the "
                                     "capital*,a village"
                                  << QStringList{};
    QTest::newRow("kinds a base cannot hold")
        << QByteArray("::E::Write an essay.{}\n\n::N::Pi?{#3.14:0.01}\n\n"
                      "::M::Match{=a -> 1 =b -> 2}\n\n::S::Capital?{=Moscow =moscow}\n\n"
                      "::D::Just a description\n\n::K::Kept{=1 ~2}")
        << "|K|Kept|S|1*,2"
        << QStringList{"question \"E\": is a essay question, which a base cannot hold; left out",
                       "question \"N\": is a numerical question, which a base cannot hold; left "
                       "out",
                       "question \"M\": is a matching question, which a base cannot hold; left "
                       "out",
                       "question \"S\": is a short answer question, which a base cannot hold; "
                       "left out",
                       "question \"D\": is a description question, which a base cannot hold; "
                       "left out"};
    QTest::newRow("six answers, unclosed brace")
        << QByteArray("::Six::x{=1 ~2 ~3 ~4 ~5 ~6}\n\n::Open::x{=1 ~2\n") << ""
        << QStringList{"question \"Six\": has 6 answers, a base question holds at most 5; left "
                       "out",
                       "question \"Open\": its answers have no closing }; left out"};
    QTest::newRow("inline picture in HTML, CRLF lines, BOM")
        << QByteArray("\xEF\xBB\xBF::P::[html]<p>See<img src=\"data:image/png;base64,") +
               pngBase64() + "\"></p>{\r\n=Yes\r\n~No\r\n}\r\n"
        << "|P|html:See|S|Yes*,No|picture" << QStringList{};
    QTest::newRow("bad UTF-8") << QByteArray("::U::Caf\xE9?{=yes ~no}") << "|U|Caf\uFFFD?|S|yes*,no"
                               << QStringList{
                                      "the file is not valid UTF-8; the bad bytes became \uFFFD"};
}

void BankImportTest::gift() {
    QFETCH(QByteArray, gift);
    const QuestionBank bank = importGift(gift);
    QFETCH(QString, expected);
    QFETCH(QStringList, warnings);
    QCOMPARE(describeBank(bank), expected);
    QCOMPARE(bank.warnings, warnings);
}

void BankImportTest::aiken_data() {
    QTest::addColumn<QByteArray>("aiken");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("warnings");

    QTest::newRow("A. and A)") << QByteArray(
                                      "Which is a colour?\nA. Red\nB. Table\nANSWER: A\n\n"
                                      "Which is a fruit?\nA) Chair\nB) Apple\nC) Door\nANSWER: B\n")
                               << "|Which is a colour?|Which is a colour?|S|Red*,Table\n"
                                  "|Which is a fruit?|Which is a fruit?|S|Chair,Apple*,Door"
                               << QStringList{};
    QTest::newRow("without blank lines, text over two lines")
        << QByteArray("First\nline two\nA. x\nB. y\nANSWER: B\nSecond\nA. p\nB. q\nANSWER:A")
        << "|First line two|First\nline two|S|x,y*\n|Second|Second|S|p*,q" << QStringList{};
    QTest::newRow("six answers")
        << QByteArray("Six?\nA. 1\nB. 2\nC. 3\nD. 4\nE. 5\nF. 6\nANSWER: A\n") << ""
        << QStringList{"question \"Six?\": has 6 answers, a base question holds at most 5; left "
                       "out"};
    QTest::newRow("answer letter outside, missing ANSWER")
        << QByteArray("Q1\nA. a\nB. b\nANSWER: D\n\nQ2\nA. a\nB. b\n") << ""
        << QStringList{"question \"Q1\": the ANSWER line 4 names no answer of it; left out",
                       "question \"Q2\": has no ANSWER line; left out"};
    QTest::newRow("a stray line spoils only its question")
        << QByteArray("Q1\nA. a\nstray\nB. b\nANSWER: A\n\nQ2\nA. a\nB. b\nANSWER: B\n")
        << "|Q2|Q2|S|a,b*"
        << QStringList{"question \"Q1\": line 3 is neither answer B nor the ANSWER line; left "
                       "out"};
}

void BankImportTest::aiken() {
    QFETCH(QByteArray, aiken);
    const QuestionBank bank = importAiken(aiken);
    QFETCH(QString, expected);
    QFETCH(QStringList, warnings);
    QCOMPARE(describeBank(bank), expected);
    QCOMPARE(bank.warnings, warnings);
}

void BankImportTest::csv_data() {
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("warnings");

    QTest::newRow("commas, header, quoting")
        << QByteArray("ticket,question,answer1,answer2,answer3,answer4,answer5,right,picture\n"
                      "1,\"Say \"\"hi\"\", please\",Hi,Bye,,,,1,\n"
                      "1,\"Two\nlines\",a,b,c,,,\"1,3\",\n")
        << "1|line 2 (Say \"hi\", please)|Say \"hi\", please|S|Hi*,Bye\n"
           "1|line 3 (Two lines)|Two\nlines|M|a*,b,c*"
        << QStringList{};
    QTest::newRow("semicolons, BOM, CRLF")
        << QByteArray("\xEF\xBB\xBF"
                      "Fire;Hot?;yes;no;;;;1\r\nWater;Wet?;no;yes;maybe;;;2;\r\n")
        << "Fire|line 1 (Hot?)|Hot?|S|yes*,no\nWater|line 2 (Wet?)|Wet?|S|no,yes*,maybe"
        << QStringList{};
    QTest::newRow("right answers that are not there")
        << QByteArray("1,Q,a,b,,,,3\n1,R,a,b,,,,\n1,S,a,,c,,,1\n") << ""
        << QStringList{"question \"line 1 (Q)\": right answer \"3\" is not one of its 2 answers; "
                       "left out",
                       "question \"line 2 (R)\": names no right answer; left out",
                       "question \"line 3 (S)\": answer 2 has no text; left out"};
    QTest::newRow("too many cells, no text, unclosed quote")
        << QByteArray("1,Q,a,b,,,,1,,extra\n1,,a,b,,,,1\n1,\"open,a,b\n") << "1|line 1 (Q)|Q|S|a*,b"
        << QStringList{"line 3: a quoted cell is never closed",
                       "line 1: 10 cells, the cells after the 9th are ignored",
                       "question \"line 2 ()\": has no text; left out",
                       "question \"line 3 (open,a,b)\": names no right answer; left out"};
    QTest::newRow("a picture path that leads elsewhere")
        << QByteArray("1,Q,a,b,,,,1,../secret.png\n1,R,a,b,,,,1,/etc/x.png\n")
        << "1|line 1 (Q)|Q|S|a*,b\n1|line 2 (R)|R|S|a*,b"
        << QStringList{"question \"line 1 (Q)\": picture ../secret.png is not a file name beside "
                       "the table; left out",
                       "question \"line 2 (R)\": picture /etc/x.png is not a file name beside "
                       "the table; left out"};
}

void BankImportTest::csv() {
    QFETCH(QByteArray, csv);
    const QuestionBank bank = importCsv(csv, {});
    QFETCH(QString, expected);
    QFETCH(QStringList, warnings);
    QCOMPARE(describeBank(bank), expected);
    QCOMPARE(bank.warnings, warnings);
}

void BankImportTest::csvPictureBesideTheTable() {
    QTemporaryDir folder;
    QFile picture(folder.filePath("dot.png"));
    QVERIFY(picture.open(QIODevice::WriteOnly));
    picture.write(QByteArray::fromBase64(pngBase64()));
    picture.close();
    const QuestionBank bank =
        importCsv("1,Q,a,b,,,,1,dot.png\n1,R,a,b,,,,2,missing.png\n", folder.path());
    QCOMPARE(describeBank(bank), QStringLiteral("1|line 1 (Q)|Q|S|a*,b|picture\n"
                                                "1|line 2 (R)|R|S|a,b*"));
    QCOMPARE(bank.questions.first().picture, QByteArray::fromBase64(pngBase64()));
    QCOMPARE(bank.warnings, QStringList{"question \"line 2 (R)\": picture missing.png cannot be "
                                        "read; left out"});
}

void BankImportTest::csvRecords() {
    // Separators inside quotes do not count towards the detection.
    QStringList warnings;
    const QList<CsvRecord> records =
        readCsvRecords(QStringLiteral("\"a;b;c;d\",x,y\n\n\"p\"\"q\",\"\"\n"), &warnings);
    QCOMPARE(records.size(), 2);
    QCOMPARE(records[0].cells, (QStringList{"a;b;c;d", "x", "y"}));
    QCOMPARE(records[1].cells, (QStringList{"p\"q", ""}));
    QCOMPARE(records[1].line, 3);
    QVERIFY(warnings.isEmpty());
}

QTEST_MAIN(BankImportTest)
#include "tst_bank_import.moc"
