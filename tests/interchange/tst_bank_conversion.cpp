// The dealing of questions into tickets, and what a bank becomes in a base as
// the program's own readers see it.
#include "basestore/question_record.h"
#include "interchange/bank_to_base.h"
#include "interchange/base_picture.h"
#include "interchange/ticket_dealing.h"
#include "richtext/rtf_reader.h"
#include "tests/support/dump_collector.h"
#include "tests/support/test_base_builder.h"

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

using namespace korvel;

namespace {

QList<BankQuestion> questionsIn(const QStringList& categories) {
    QList<BankQuestion> questions;
    for (qsizetype k = 0; k < categories.size(); ++k) {
        BankQuestion question;
        question.category = categories[k];
        question.name = QStringLiteral("q%1").arg(k);
        question.text = question.name;
        question.answers = {{"yes", 100}, {"no", 0}};
        questions << question;
    }
    return questions;
}

QString ticketsText(const TicketDealing& dealing) {
    QStringList tickets;
    for (const QList<qsizetype>& ticket : dealing.tickets) {
        QStringList numbers;
        for (qsizetype index : ticket)
            numbers << QString::number(index);
        tickets << numbers.join(u' ');
    }
    return tickets.join(u'|');
}

QByteArray png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A PNG that announces its size and holds no pixel data.
QByteArray pngHeader(quint32 width, quint32 height) {
    const auto bigEndian = [](quint32 value) {
        QByteArray bytes;
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes += char((value >> shift) & 0xFF);
        return bytes;
    };
    const auto chunk = [&](const QByteArray& typeAndData) {
        quint32 crc = 0xFFFFFFFF; // the CRC-32 of PNG chunks, bit by bit
        for (const char byte : typeAndData) {
            crc ^= quint8(byte);
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
        }
        return bigEndian(quint32(typeAndData.size() - 4)) + typeAndData + bigEndian(~crc);
    };
    return QByteArray("\x89PNG\r\n\x1a\n", 8) +
           chunk("IHDR" + bigEndian(width) + bigEndian(height) +
                 QByteArray("\x08\x02\x00\x00\x00", 5)) +
           chunk("IDAT") + chunk("IEND");
}

} // namespace

class BankConversionTest : public QObject {
    Q_OBJECT

private slots:
    void dealing_data();
    void dealing();
    void baseAsTheProgramReadsIt();
    void descriptorValuesThatCannotBeWritten();
    void pictures_data();
    void pictures();
};

void BankConversionTest::dealing_data() {
    QTest::addColumn<QStringList>("categories");
    QTest::addColumn<int>("perTicket"); // 0: not asked for
    QTest::addColumn<QString>("tickets");
    QTest::addColumn<bool>("byCategory");
    QTest::addColumn<QStringList>("leftOut");
    QTest::addColumn<QString>("error");

    const QStringList none;
    QStringList twentyFive;
    for (int k = 0; k < 25; ++k)
        twentyFive << QString();
    QTest::newRow("equal categories, in their first order")
        << QStringList{"B", "A", "B", "A"} << 0 << "0 2|1 3" << true << none << "";
    QTest::newRow("unequal categories: a small bank is one ticket")
        << QStringList{"A", "A", "B"} << 0 << "0 1 2" << false << none << "";
    QTest::newRow("asked for: categories do not count")
        << QStringList{"A", "A", "B", "B"} << 1 << "0|1|2|3" << false << none << "";
    QTest::newRow("one category: dealt by ten, remainder left out")
        << twentyFive << 0 << "0 1 2 3 4 5 6 7 8 9|10 11 12 13 14 15 16 17 18 19" << false
        << QStringList{"q20", "q21", "q22", "q23", "q24"} << "";
    QTest::newRow("dealt by four")
        << QStringList(10, "A") << 4 << "0 1 2 3|4 5 6 7" << false << QStringList{"q8", "q9"} << "";
    QTest::newRow("asked for more than the bank holds")
        << QStringList(3, "A") << 50 << "0 1 2" << false << none << "";
    QTest::newRow("nothing to deal")
        << none << 0 << "" << false << none << "the bank holds no question that a base can hold";
    QTest::newRow("more tickets than a base holds")
        << QStringList(1001, "A") << 1 << "" << false << none
        << "1001 questions make 1001 tickets of 1, more than the 1000 a base may hold; ask for "
           "more questions per ticket";
}

void BankConversionTest::dealing() {
    QFETCH(QStringList, categories);
    QFETCH(int, perTicket);
    QFETCH(QString, tickets);
    QFETCH(bool, byCategory);
    QFETCH(QStringList, leftOut);
    QFETCH(QString, error);
    const TicketDealing dealing = dealTickets(
        questionsIn(categories), perTicket > 0 ? std::optional<int>(perTicket) : std::nullopt);
    QCOMPARE(ticketsText(dealing), tickets);
    QCOMPARE(dealing.byCategory, byCategory);
    QCOMPARE(dealing.leftOut, leftOut);
    QCOMPARE(dealing.error, error);
}

void BankConversionTest::baseAsTheProgramReadsIt() {
    QuestionBank bank;
    BankQuestion html;
    html.name = "html";
    html.html = true;
    html.text = "<p>Plain and <b>bold</b> \u2713</p>";
    html.answers = {{"One \u2713 two", 100}, {"Три", 0}, {"line\nbreak", 0}};
    QImage wide(3000, 1500, QImage::Format_ARGB32);
    wide.fill(Qt::transparent);
    html.picture = png(wide);
    BankQuestion multiple;
    multiple.name = "multiple";
    multiple.text = "Выберите верные";
    multiple.single = false;
    multiple.answers = {{"a", 50}, {"b", -100}, {"c", 50}};
    BankQuestion rtfLike;
    rtfLike.name = "rtf-like";
    rtfLike.text = "{\\rtf is how it starts";
    rtfLike.answers = {{"x", 0}, {"y", 100}};
    rtfLike.picture = "not a picture";
    BankQuestion oneOfSwitches = multiple;
    oneOfSwitches.name = "one of switches";
    oneOfSwitches.answers = {{"a", 100}, {"b", 0}};
    bank.questions = {html, multiple, rtfLike, oneOfSwitches};

    TicketDealing dealing;
    dealing.tickets = {{0, 1}, {2, 3}};
    const BaseSource source =
        bankToBase(bank, dealing, {"Банк", {"Первая", "вторая"}, {"Молодец", "Отлично"}, {"Увы"}});
    QCOMPARE(source.errors, QStringList{});
    QCOMPARE(source.warnings,
             (QStringList{"question \"html\": characters that Windows-1251 cannot write became ? "
                          "in its answers",
                          "question \"rtf-like\": its picture does not decode as a picture; left "
                          "out"}));
    QTemporaryDir folder;
    const QString path = folder.filePath("bank.zip");
    writeBaseArchive(source, path);

    DumpCollector dump;
    QVERIFY(dumpBase(path, dump));
    QCOMPARE(dump.dumped.name, QStringLiteral("Банк"));
    QCOMPARE(dump.dumped.descript, QStringLiteral("Первая\r\nвторая"));
    QCOMPARE(dump.dumped.pozdr, (QStringList{"Молодец", "Отлично"}));
    QCOMPARE(dump.dumped.izdevat, QStringList{"Увы"});
    QCOMPARE(dump.dumped.tickets, 2);
    QCOMPARE(dump.dumped.questionsPerTicket, 2);
    QCOMPARE(dump.questions.size(), 4);

    const DumpedQuestion& first = dump.questions[0];
    QCOMPARE(first.answerMode, 1);
    QCOMPARE(first.answers[0], QStringLiteral("One ? two"));
    QCOMPARE(first.answers[2], QStringLiteral("line\r\nbreak"));
    QVERIFY(!first.answers[3]);
    QVERIFY(first.textRtf);
    const QImage picture = QImage::fromData(first.pictureBytes, "JPG");
    QCOMPARE(picture.size(), QSize(1024, 512));
    QCOMPARE(picture.pixelColor(500, 250), QColor(Qt::white));

    QCOMPARE(dump.questions[1].answerMode, 0);
    QCOMPARE(dump.questions[1].right, (QList<int>{1, 3}));
    QVERIFY(!dump.questions[1].textRtf);
    QCOMPARE(dump.questions[2].answerMode, 2);
    QVERIFY(dump.questions[2].textRtf);
    QVERIFY(!dump.questions[2].picture);
    QCOMPARE(dump.questions[3].answerMode, 0);
    QCOMPARE(dump.questions[3].right, QList<int>{1});

    // The character without a Windows-1251 form stays in the RTF text, and
    // the plain text that looks like RTF reads back as itself.
    Archiver archiver;
    const auto text = [&](int t, int q) {
        const QByteArray bytes = readArchiveEntry(archiver, path, questionTextEntry(t, q)).bytes();
        return loadQuestionText(bytes)->toPlainText();
    };
    QCOMPARE(text(1, 1), QStringLiteral("Plain and bold \u2713"));
    QCOMPARE(text(2, 1), QStringLiteral("{\\rtf is how it starts"));
    QCOMPARE(text(1, 2), QStringLiteral("Выберите верные"));
}

void BankConversionTest::descriptorValuesThatCannotBeWritten() {
    QuestionBank bank;
    bank.questions = questionsIn({"A", "A"});
    TicketDealing dealing;
    dealing.tickets = {{0, 1}};
    QCOMPARE(bankToBase(bank, dealing, {"Bank \u2713", {}, {}, {}}).errors,
             QStringList{"Name holds a character that Windows-1251 cannot write: \u2713"});
    QCOMPARE(bankToBase(bank, dealing, {" ", {}, {}, {}}).errors,
             QStringList{"the base needs a name"});
}

void BankConversionTest::pictures_data() {
    QTest::addColumn<QByteArray>("picture");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("why");
    QTest::newRow("wide PNG") << png(QImage(2000, 500, QImage::Format_RGB32)) << QSize(1024, 256)
                              << "";
    QTest::newRow("tall PNG") << png(QImage(300, 1500, QImage::Format_RGB32)) << QSize(204, 1024)
                              << "";
    QTest::newRow("small GIF") << testGif() << QSize(1, 1) << "";
    QTest::newRow("JPEG at the limit") << testJpeg() << QSize(8, 8) << "";
    QTest::newRow("not a picture")
        << QByteArray("<svg/>") << QSize() << "does not decode as a picture";
    QTest::newRow("a header announcing 2.5 gigapixels")
        << pngHeader(50000, 50000) << QSize() << "is 50000 x 50000 pixels, too big to decode";
}

void BankConversionTest::pictures() {
    QFETCH(QByteArray, picture);
    QFETCH(QSize, size);
    QFETCH(QString, why);
    QString reason;
    const std::optional<QByteArray> jpeg = toBasePicture(picture, &reason);
    QCOMPARE(reason, why);
    QCOMPARE(jpeg.has_value(), size.isValid());
    if (jpeg) {
        QCOMPARE(QImage::fromData(*jpeg).size(), size);
        QVERIFY(jpeg->startsWith("\xFF\xD8"));
    }
}

QTEST_MAIN(BankConversionTest)
#include "tst_bank_conversion.moc"
