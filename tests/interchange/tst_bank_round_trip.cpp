// Bases out to Moodle XML and GIFT and back in again through the command
// line, compared question by question as the program reads them; the
// Moodle XML checked against the structure its documentation gives.
#include "basestore/question_record.h"
#include "richtext/rtf_reader.h"
#include "tests/support/dump_collector.h"
#include "tests/support/test_base_builder.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QXmlStreamReader>

using namespace korvel;

namespace {

struct Run {
    int code = -1;
    QString err;
};

Run korvelbase(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(KORVELBASE_PATH), arguments);
    Run run;
    if (!process.waitForFinished(120000))
        return run;
    run.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QStringList warningLines(const QString& err) {
    QStringList lines;
    for (const QString& line : err.split(u'\n')) {
        if (line.startsWith(QLatin1String("warning: ")) ||
            line.startsWith(QLatin1String("error: ")))
            lines << line;
    }
    return lines;
}

// The text as shown, with the bold, italic and underlined characters marked.
QString textSignature(const QByteArray& bytes) {
    const auto document = loadQuestionText(bytes);
    QString marks;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            const QString flags = QString(format.fontWeight() > QFont::Normal ? "b" : "") +
                                  (format.fontItalic() ? "i" : "") +
                                  (format.fontUnderline() ? "u" : "");
            if (!flags.isEmpty())
                marks += QStringLiteral("[%1:%2]").arg(flags, it.fragment().text());
        }
    }
    return document->toPlainText().trimmed() + marks;
}

// Everything a run on the base depends on, one line a question.
QStringList questionsOf(const QString& path) {
    DumpCollector dump;
    dumpBase(path, dump);
    QStringList lines{QStringLiteral("%1 x %2")
                          .arg(dump.dumped.tickets.value_or(-1))
                          .arg(dump.dumped.questionsPerTicket.value_or(-1))};
    Archiver archiver;
    for (const DumpedQuestion& question : dump.questions) {
        QStringList answers;
        for (const std::optional<QString>& answer : question.answers) {
            if (answer)
                answers << *answer;
        }
        QStringList right;
        for (int n : question.right)
            right << QString::number(n);
        const QByteArray text =
            readArchiveEntry(archiver, path, questionTextEntry(question.ticket, question.question))
                .bytes();
        const QImage picture = QImage::fromData(question.pictureBytes);
        lines << QStringLiteral("%1.%2 mode %3 right %4 [%5] picture %6x%7 %8")
                     .arg(question.ticket)
                     .arg(question.question)
                     .arg(question.answerMode)
                     .arg(right.join(u','), answers.join(u'/'))
                     .arg(picture.width())
                     .arg(picture.height())
                     .arg(textSignature(text));
    }
    return lines;
}

QByteArray jpeg(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return bytes;
}

// Moodle's own list of the grades an answer may carry.
bool isMoodleFraction(double fraction) {
    static const double allowed[] = {100,      90,       83.33333, 80,       75, 70, 66.66667,
                                     60,       50,       40,       33.33333, 30, 25, 20,
                                     16.66667, 14.28571, 12.5,     11.11111, 10, 5,  0};
    for (double value : allowed) {
        if (qAbs(qAbs(fraction) - value) < 1e-4)
            return true;
    }
    return false;
}

// The structure of the documented format: <quiz> of <question type=...>;
// categories as $course$ paths; each multichoice with a name, a question text
// with a format, <single>, two or more answers with fractions that Moodle
// offers (full marks once for a single answer, adding up to 100 % for a
// multiple one), and every @@PLUGINFILE@@ picture as a base64 <file>.
QString moodleStructureFault(const QByteArray& xml, int* questions) {
    QXmlStreamReader reader(xml);
    *questions = 0;
    if (!reader.readNextStartElement() || reader.name() != u"quiz")
        return "no <quiz>";
    while (reader.readNextStartElement()) {
        if (reader.name() != u"question")
            return "a <" + reader.name().toString() + "> in <quiz>";
        const QString type = reader.attributes().value("type").toString();
        QString category, name, format, text, single;
        QStringList files;
        QList<double> fractions;
        while (reader.readNextStartElement()) {
            const QString element = reader.name().toString();
            if (element == u"category" || element == u"name") {
                reader.readNextStartElement();
                (element == u"name" ? name : category) = reader.readElementText();
                reader.skipCurrentElement();
            } else if (element == u"questiontext") {
                format = reader.attributes().value("format").toString();
                while (reader.readNextStartElement()) {
                    if (reader.name() == u"text") {
                        text = reader.readElementText();
                    } else if (reader.name() == u"file") {
                        if (reader.attributes().value("encoding") != u"base64")
                            return "a file not in base64";
                        const QString fileName = reader.attributes().value("name").toString();
                        if (QImage::fromData(
                                QByteArray::fromBase64(reader.readElementText().toLatin1()))
                                .isNull())
                            return "file " + fileName + " is no picture";
                        files << fileName;
                    } else {
                        reader.skipCurrentElement();
                    }
                }
            } else if (element == u"single") {
                single = reader.readElementText();
            } else if (element == u"answer") {
                bool ok = false;
                fractions << reader.attributes().value("fraction").toDouble(&ok);
                if (!ok || !isMoodleFraction(fractions.last()))
                    return "fraction " + reader.attributes().value("fraction").toString();
                reader.skipCurrentElement();
            } else {
                reader.skipCurrentElement();
            }
        }
        if (type == u"category") {
            if (!category.startsWith(QLatin1String("$course$/top/")))
                return "category " + category;
            continue;
        }
        if (type != u"multichoice")
            return "type " + type;
        ++*questions;
        if (name.isEmpty() || text.isEmpty() || (format != u"html" && format != u"plain_text"))
            return "question " + name + " without name, text or format";
        if (fractions.size() < 2)
            return "question " + name + " with fewer than two answers";
        double positive = 0;
        int full = 0;
        for (double fraction : fractions) {
            positive += qMax(0.0, fraction);
            full += fraction > 99.9 ? 1 : 0;
        }
        if (single == u"true" ? full != 1 : (single != u"false" || qAbs(positive - 100) > 0.01))
            return "question " + name + " with single " + single + " and its fractions";
        for (const QString& file : files) {
            if (!text.contains("@@PLUGINFILE@@/" + file))
                return "question " + name + " does not show " + file;
        }
    }
    return reader.hasError() ? reader.errorString() : QString();
}

} // namespace

class BankRoundTripTest : public QObject {
    Q_OBJECT

    QTemporaryDir folder_;
    QString generatedBase_;

private slots:
    void initTestCase();
    void roundTrip_data();
    void roundTrip();
    void exitCodes_data();
    void exitCodes();
};

void BankRoundTripTest::initTestCase() {
    // Multiple-answer questions (one of them with a single right answer),
    // pictures large and small, formatted RTF and answers with line breaks.
    TestBaseBuilder base;
    base.setCounts(2, 3, "Сгенерированная");
    RecordContainerWriter lines = standardQuestion(2, 5);
    lines.add("vop", "ot1", "Первая\r\nстрока");
    base.addQuestion(1, 1, "{\\rtf1\\ansi Plain {\\b bold} {\\i italic} {\\ul under}\\par next}",
                     multipleQuestion({1, 3}, 4), jpeg({1600, 900}));
    base.addQuestion(1, 2, "Plain text, two\r\nlines", standardQuestion(3, 5), testJpeg());
    base.addQuestion(1, 3, "Only one right of switches", multipleQuestion({2}, 3));
    base.addQuestion(2, 1, "{\\rtf1\\ansi\\ansicpg1251 \\'c2\\'ee\\'ef\\'f0\\'ee\\'f1}",
                     multipleQuestion({1, 2, 3, 4, 5}, 5), jpeg({300, 700}));
    base.addQuestion(2, 2, "Braces {} and ~=#: in text", lines);
    base.addQuestion(2, 3, "Две пары", multipleQuestion({1, 2}, 2));
    generatedBase_ = folder_.filePath("generated.zip");
    base.write(generatedBase_);
}

void BankRoundTripTest::roundTrip_data() {
    QTest::addColumn<QString>("base");
    QTest::addColumn<QString>("format");
    for (const char* format : {"moodle-xml", "gift"}) {
        QTest::addRow("demo, %s", format) << QStringLiteral(KORVEL_DEMO_BASE) << format;
        QTest::addRow("generated, %s", format) << generatedBase_ << format;
    }
}

void BankRoundTripTest::roundTrip() {
    QFETCH(QString, base);
    QFETCH(QString, format);
    const QString bank = folder_.filePath("bank." + format);
    const QString again = folder_.filePath("again.zip");
    const Run out = korvelbase({"export", format, base, "--out", bank});
    QCOMPARE(warningLines(out.err), QStringList{});
    QCOMPARE(out.code, 0);
    if (format == u"moodle-xml") {
        QFile file(bank);
        QVERIFY(file.open(QIODevice::ReadOnly));
        int questions = 0;
        QCOMPARE(moodleStructureFault(file.readAll(), &questions), QString());
        QCOMPARE(questions, questionsOf(base).size() - 1);
    }
    const Run in = korvelbase({"import", format, bank, "--out", again});
    QCOMPARE(warningLines(in.err), QStringList{});
    QCOMPARE(in.code, 0);

    QStringList expected = questionsOf(base);
    // Pictures come back at most 1024 pixels on the long side.
    for (QString& line : expected)
        line.replace("picture 1600x900", "picture 1024x576");
    QCOMPARE(questionsOf(again), expected);
    DumpCollector original;
    DumpCollector imported;
    dumpBase(base, original);
    dumpBase(again, imported);
    QCOMPARE(imported.dumped.name, original.dumped.name);
}

void BankRoundTripTest::exitCodes_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("bank");
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("lines");

    const QStringList gift{"import", "gift", "BANK", "--out", "OUT"};
    QTest::newRow("clean") << gift << QByteArray("::A::a{=1 ~2}\n\n::B::b{=1 ~2}") << 0
                           << QStringList{};
    QTest::newRow("done with warnings")
        << gift + QStringList{"--questions-per-ticket", "1"}
        << QByteArray("::A::a{=1 ~2}\n\n::E::essay{}") << 3
        << QStringList{"warning: question \"E\": is a essay question, which a base cannot "
                       "hold; left out"};
    QTest::newRow("remainder named")
        << gift + QStringList{"--questions-per-ticket", "2"}
        << QByteArray("::A::a{=1 ~2}\n\n::B::b{=1 ~2}\n\n::C::c{=1 ~2}") << 3
        << QStringList{"warning: question \"C\": does not fill a last ticket of 2; left out"};
    QTest::newRow("nothing to import")
        << gift << QByteArray("::E::essay{}") << 1
        << QStringList{"warning: question \"E\": is a essay question, which a base cannot hold; "
                       "left out",
                       "error: the bank holds no question that a base can hold"};
    QTest::newRow("unknown format") << QStringList{"import", "qti", "BANK", "--out", "OUT"}
                                    << QByteArray() << 2 << QStringList{};
    QTest::newRow("bad ticket size")
        << gift + QStringList{"--questions-per-ticket", "0"} << QByteArray() << 2 << QStringList{};
    QTest::newRow("missing input")
        << QStringList{"import", "aiken", "NOWHERE", "--out", "OUT"} << QByteArray() << 1
        << QStringList{"error: cannot read NOWHERE: No such file or directory"};
    QTest::newRow("export of a base that does not open")
        << QStringList{"export", "gift", "BANK", "--out", "OUT"} << QByteArray("not a zip") << 1
        << QStringList{};
}

void BankRoundTripTest::exitCodes() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, bank);
    QFETCH(int, code);
    QFETCH(QStringList, lines);
    QTemporaryDir folder;
    QFile file(folder.filePath("bank"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bank);
    file.close();
    arguments.replaceInStrings("BANK", file.fileName());
    arguments.replaceInStrings("NOWHERE", folder.filePath("nowhere"));
    arguments.replaceInStrings("OUT", folder.filePath("out"));
    lines.replaceInStrings("NOWHERE", folder.filePath("nowhere"));
    const Run run = korvelbase(arguments);
    QCOMPARE(run.code, code);
    if (code != 2 && code != 1)
        QVERIFY(QFile::exists(folder.filePath("out")));
    if (code == 1 || code == 2)
        QVERIFY(!QFile::exists(folder.filePath("out")));
    if (code != 2 && arguments.first() == u"import")
        QCOMPARE(warningLines(run.err), lines);
}

QTEST_MAIN(BankRoundTripTest)
#include "tst_bank_round_trip.moc"
