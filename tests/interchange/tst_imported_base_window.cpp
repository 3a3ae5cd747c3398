// A base made by import from a Moodle XML bank with pictures, sat through
// the real window: its tickets, texts, pictures and right answers are the
// bank's own.
#include "app/answer_widgets.h"
#include "app/question_page.h"
#include "app/results_page.h"
#include "interchange/bank_to_base.h"
#include "interchange/moodle_xml_import.h"
#include "interchange/ticket_dealing.h"
#include "tests/app/window_fixture.h"
#include "tests/support/test_base_builder.h"

#include <QBuffer>
#include <QCheckBox>
#include <QImage>
#include <QPlainTextEdit>
#include <QTextEdit>

using namespace korvel;

namespace {

QByteArray picture(QSize size, const char* format, QColor colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes.toBase64();
}

// Two categories of two questions: a photo in the text, a multiple-answer
// question, an older embedded GIF, and a true/false one.
QByteArray bank() {
    const auto answer = [](const char* fraction, const char* text) {
        return QByteArray("<answer fraction=\"") + fraction + "\"><text>" + text +
               "</text></answer>";
    };
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><quiz>"
           "<question type=\"category\"><category><text>$course$/top/Склад/Погрузка</text>"
           "</category></question>"
           "<question type=\"multichoice\"><name><text>Знак</text></name>"
           "<questiontext format=\"html\"><text><![CDATA[<p>Что означает <b>этот</b> знак?"
           "<img src=\"@@PLUGINFILE@@/sign.png\"></p>]]></text>"
           "<file name=\"sign.png\" path=\"/\" encoding=\"base64\">" +
           picture({2048, 1024}, "PNG", Qt::yellow) + "</file></questiontext>" +
           "<single>true</single>" + answer("0", "Проход") + answer("100", "Осторожно") +
           answer("0", "Выход") +
           "</question>"
           "<question type=\"multichoice\"><name><text>Средства</text></name>"
           "<questiontext format=\"html\"><text>Отметьте средства защиты</text></questiontext>"
           "<single>false</single>" +
           answer("50", "Каска") + answer("-100", "Галстук") + answer("50", "Перчатки") +
           "</question>"
           "<question type=\"category\"><category><text>$course$/top/Склад/Хранение</text>"
           "</category></question>"
           "<question type=\"multichoice\"><name><text>Стеллаж</text></name>"
           "<questiontext format=\"plain_text\"><text>Какой груз кладут вниз?</text>"
           "</questiontext><image>shelf.gif</image><image_base64>" +
           testGif().toBase64() + "</image_base64><single>true</single>" +
           answer("100", "Тяжёлый") + answer("0", "Лёгкий") +
           "</question>"
           "<question type=\"truefalse\"><name><text>Проход</text></name>"
           "<questiontext format=\"html\"><text>Проход можно загромождать</text></questiontext>" +
           answer("0", "true") + answer("100", "false") + "</question></quiz>";
}

} // namespace

class ImportedBaseWindowTest : public QObject, public WindowFixture {
    Q_OBJECT

private slots:
    void init() { setUpWindow(); }
    void cleanup() { tearDownWindow(); }

    void importedBankIsSatThroughTheWindow() {
        const QuestionBank imported = importMoodleXml(bank());
        QCOMPARE(imported.warnings, QStringList{});
        const TicketDealing dealing = dealTickets(imported.questions, std::nullopt);
        QVERIFY(dealing.byCategory);
        const BaseSource source = bankToBase(imported, dealing, {"Склад", {"Импорт"}, {}, {}});
        QCOMPARE(source.warnings, QStringList{});
        QTemporaryDir built;
        const QString path = built.filePath("imported.zip");
        writeBaseArchive(source, path);

        start(path);
        QCOMPARE(control<QPushButton>("ButtonOfBase1")->text(), QStringLiteral("Склад"));
        QStringList tickets;
        dialog_ = [&tickets](QDialog& dialog) {
            auto* list = inside<QListWidget>(&dialog, "spSkinListBox1");
            for (int row = 0; row < list->count(); ++row) {
                tickets << list->item(row)->text();
                list->item(row)->setCheckState(Qt::Checked);
            }
            QTest::mouseClick(inside<QPushButton>(&dialog, "spSkinButton1"), Qt::LeftButton);
        };
        QTest::mouseClick(control<QPushButton>("spSkinButton10"), Qt::LeftButton);
        QCOMPARE(tickets, (QStringList{"Билет номер - 1", "Билет номер - 2"}));
        QVERIFY(window_->questionPage()->isVisible());
        QCOMPARE(counters(), QStringLiteral("00/00/04"));

        // Ticket 1, question 1: the photo (shown at the page's size, in its
        // proportions), the text without it, the right answer the bank's.
        const QImage& sign = window_->questionPage()->picture()->image();
        QVERIFY(!sign.isNull());
        QCOMPARE(sign.width(), 2 * sign.height());
        QVERIFY(qAbs(sign.pixelColor(10, 10).red() - 255) < 8 &&
                sign.pixelColor(10, 10).blue() < 40);
        QVERIFY(control("Image16")->isVisible());
        QCOMPARE(window_->questionPage()->text()->toPlainText(),
                 QStringLiteral("Что означает этот знак?"));
        QStringList answers;
        for (int n = 1; n <= 3; ++n)
            answers << control<QPlainTextEdit>(QStringLiteral("TestMemo%1").arg(n))->toPlainText();
        answers.sort();
        QCOMPARE(answers, (QStringList{"Выход", "Осторожно", "Проход"}));
        QVERIFY(!control("TestMemo4")->isVisible());
        const int right = rightAnswerOfShownQuestion();
        QCOMPARE(control<QPlainTextEdit>(QStringLiteral("TestMemo%1").arg(right))->toPlainText(),
                 QStringLiteral("Осторожно"));
        clickAnswer(right);
        QVERIFY(lit("GreenLamp"));
        window_->Timer3Timer();

        // Question 2: several right, answered with the switches.
        QCOMPARE(window_->AnswerMode(), 0);
        QVERIFY(!control("Image16")->isVisible());
        for (int n = 1; n <= 3; ++n) {
            if (window_->rightAnswers().flag(window_->CurrentTicket(), window_->CurrentQuestion(),
                                             n))
                QTest::mouseClick(control(QStringLiteral("spSkinSwitch%1").arg(n)), Qt::LeftButton,
                                  {}, QPoint(10, 8));
        }
        QTest::mouseClick(control("ButtonTestChois"), Qt::LeftButton);
        QVERIFY(lit("GreenLamp"));
        window_->Timer3Timer();

        // Ticket 2: the GIF of the older format became a JPEG picture.
        QCOMPARE(text("ButtonBilet"), QStringLiteral("2"));
        const QImage& shelf = window_->questionPage()->picture()->image();
        QVERIFY(!shelf.isNull());
        QCOMPARE(shelf.width(), shelf.height());
        QCOMPARE(window_->questionPage()->text()->toPlainText(),
                 QStringLiteral("Какой груз кладут вниз?"));
        clickAnswer(wrongAnswerOfShownQuestion());
        QVERIFY(lit("RedLamp"));
        window_->Timer2Timer();

        // True/false with Moodle's own answer texts; "false" is right.
        const int truth = rightAnswerOfShownQuestion();
        QCOMPARE(control<QPlainTextEdit>(QStringLiteral("TestMemo%1").arg(truth))->toPlainText(),
                 QStringLiteral("false"));
        clickAnswer(truth);
        window_->Timer3Timer();

        QVERIFY(window_->resultsPage()->isVisible());
        QCOMPARE(counters(), QStringLiteral("03/01/00"));
        QVERIFY(window_->isEnabled());
    }
};

QTEST_MAIN(ImportedBaseWindowTest)
#include "tst_imported_base_window.moc"
