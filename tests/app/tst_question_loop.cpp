// Whole runs sat through the real window on the demo base: the real buttons
// are clicked, the pointer really moves, and what the controls show is read
// back (colours, lamps, counters, clock, the result line).
#include "app/answer_widgets.h"
#include "app/main_menu_page.h"
#include "app/main_window.h"
#include "app/question_page.h"
#include "app/results_page.h"
#include "engine/run_engine.h"
#include "journal/journal_reader.h"
#include "journal/past_report.h"
#include "platform/message_boxes.h"
#include "platform/sound_output.h"
#include "tests/app/window_fixture.h"
#include "tests/support/test_base_builder.h"
#include "tests/support/zip_surgery.h"

#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMovie>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QToolButton>
#include <memory>

using namespace korvel;

namespace {

const QString Izdevat[] = {
    QStringLiteral("Увы, пока слабовато. Загляните в справку к вопросам и попробуйте ещё раз."),
    QStringLiteral("Электричество ошибок не прощает — повторите правила."),
    QStringLiteral("Не расстраивайтесь: прочитайте пояснения и пройдите билет снова."),
};

} // namespace

class QuestionLoopTest : public QObject, public WindowFixture {
    Q_OBJECT

private slots:
    void init() { setUpWindow(); }
    void cleanup() { tearDownWindow(); }

    void ticketChoiceDialogWorksItsRows() {
        start();
        QStringList seen;
        dialog_ = [&seen](QDialog& dialog) {
            QCOMPARE(dialog.size(), QSize(173, 348));
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Билеты"));
            auto* list = inside<QListWidget>(&dialog, "spSkinListBox1");
            QCOMPARE(list->count(), 4);
            QCOMPARE(list->item(3)->text(), QStringLiteral("Билет номер - 4"));
            QCOMPARE(list->currentRow(), 0);
            const auto checked = [list] {
                QString marks;
                for (int row = 0; row < list->count(); ++row)
                    marks += list->item(row)->checkState() == Qt::Checked ? 'x' : '-';
                return marks;
            };
            const auto press = [&dialog](const char* name) {
                QTest::mouseClick(inside<QPushButton>(&dialog, name), Qt::LeftButton);
            };
            press("spSkinButton16");
            seen << checked();
            press("spSkinButton19");
            seen << checked();
            list->item(0)->setCheckState(Qt::Checked);
            list->item(2)->setCheckState(Qt::Checked);
            press("spSkinButton22");
            seen << checked();
            press("spSkinButton19");
            // "Выбрать" with nothing checked: the dialog stays.
            press("spSkinButton1");
            seen << (dialog.isVisible() ? "open" : "closed");
            // Closed by its caption bar: "Отмена".
            dialog.close();
            seen << (dialog.isVisible() ? "open" : "closed");
        };
        QTest::mouseClick(control<QPushButton>("spSkinButton10"), Qt::LeftButton);
        QCOMPARE(seen, (QStringList{"xxxx", "----", "-x-x", "open", "closed"}));
        QVERIFY(window_->mainMenuPage()->isVisible());
        QCOMPARE(window_->RunMode(), QString());
        QVERIFY(window_->isEnabled());
    }

    // Ticket 1 of the demo base: single answers (1, 1, 4) and multiple ones
    // (1, 2, 5 and 3), answered right, wrong, by switches and from the keyboard.
    void preparationRun() {
        start();
        choosePreparationTickets({0});
        QTest::mouseClick(control<QPushButton>("spSkinButton10"), Qt::LeftButton);
        QVERIFY(window_->questionPage()->isVisible());
        QCOMPARE(window_->RunMode(), QStringLiteral("Test"));
        QCOMPARE(window_->ChosenTickets(), (QList<bool>{true, false, false, false}));
        QCOMPARE(counters(), QStringLiteral("00/00/05"));
        QCOMPARE(text("ButtonBilet"), QStringLiteral("1"));
        QCOMPARE(text("ButtonVopros"), QStringLiteral("1"));
        // The time of day: the hour without, the minute with a leading zero.
        QCOMPARE(text("min") + text("t2toch") + text("sec"), QStringLiteral("9:05"));
        QVERIFY(window_->timerRunning(4));
        QVERIFY(!control("TimeGo")->isVisible());
        QVERIFY(control("QButton")->isVisible());
        QVERIFY(!control("MesShow")->isVisible());
        QVERIFY(window_->isEnabled());
        QVERIFY(!window_->questionPage()->text()->toPlainText().isEmpty());

        // Question 1, the right answer: the box, the green lamp, the counter.
        enter("TestBut1");
        QCOMPARE(color(1), CurrentColor);
        sound_->played.clear();
        QTest::mouseClick(control("TestBut1"), Qt::LeftButton);
        QCOMPARE(color(1), RightColor);
        QVERIFY(lit("GreenLamp") && !lit("RedLamp"));
        QCOMPARE(sound_->played, QStringList{"GOOD"});
        QCOMPARE(counters(), QStringLiteral("01/00/05"));
        QVERIFY(!control("TestBut2")->isEnabled());
        QVERIFY(window_->timerRunning(3));
        leave("TestBut1");
        QCOMPARE(color(1), ChosenColor);
        window_->Timer3Timer();
        QVERIFY(!lit("GreenLamp"));
        QCOMPARE(counters(), QStringLiteral("01/00/04"));
        QCOMPARE(text("ButtonVopros"), QStringLiteral("2"));
        QVERIFY(control("TestBut2")->isEnabled());
        QCOMPARE(color(1), WhiteColor);

        // Question 2 with a picture, a wrong answer: the right one shows
        // only when the pointer leaves the disabled button.
        QVERIFY(control("Image16")->isVisible());
        enter("TestBut3");
        QTest::mouseClick(control("TestBut3"), Qt::LeftButton);
        QCOMPARE(color(3), WrongColor);
        QCOMPARE(color(1), WhiteColor);
        QVERIFY(lit("RedLamp"));
        QCOMPARE(counters(), QStringLiteral("01/01/04"));
        QVERIFY(!control("TestBut3")->isEnabled());
        leave("TestBut3");
        QCOMPARE(color(1), RightColor);
        QCOMPARE(color(3), WrongColor);
        window_->Timer2Timer();
        QVERIFY(!lit("RedLamp"));

        // Question 3, several right (1, 2, 5): switches instead of buttons,
        // marked boxes, then the confirmation; 5 was missed.
        QCOMPARE(window_->AnswerMode(), 0);
        QVERIFY(control("spSkinPanel12")->isVisible());
        QVERIFY(!control("TestBut1")->isVisible());
        for (int n : {1, 2})
            QTest::mouseClick(control(QStringLiteral("spSkinSwitch%1").arg(n)), Qt::LeftButton, {},
                              QPoint(10, 8));
        QVERIFY(control<QCheckBox>("spSkinSwitch1")->isChecked());
        QCOMPARE(color(1), MarkedColor);
        QCOMPARE(color(2), MarkedColor);
        QCOMPARE(color(5), WhiteColor);
        QTest::mouseClick(control("ButtonTestChois"), Qt::LeftButton);
        QCOMPARE((QList<int>{color(1), color(2), color(3), color(5)}),
                 (QList<int>{ChosenColor, ChosenColor, WhiteColor, RightColor}));
        QVERIFY(lit("RedLamp"));
        QCOMPARE(counters(), QStringLiteral("01/02/03"));
        window_->Timer2Timer();
        QCOMPARE(counters(), QStringLiteral("01/02/02"));

        // Question 4 (right: 4) answered from the keyboard: the activated
        // button is the answer, whatever box has the pointer's colour.
        QCOMPARE(text("ButtonVopros"), QStringLiteral("4"));
        control("TestBut4")->setFocus();
        QTest::keyClick(control("TestBut4"), Qt::Key_Space);
        QCOMPARE(color(4), RightColor);
        QVERIFY(lit("GreenLamp"));
        window_->Timer3Timer();

        // Question 5 (right: 3 of several): confirming nothing asks for a choice.
        QTest::mouseClick(control("ButtonTestChois"), Qt::LeftButton);
        QCOMPARE(boxes_->shown().last().text, QStringLiteral("Сделайте выбор пожалуйста!"));
        QVERIFY(control("ButtonTestChois")->isEnabled());
        QTest::mouseClick(control("spSkinSwitch3"), Qt::LeftButton, {}, QPoint(10, 8));
        QTest::mouseClick(control("ButtonTestChois"), Qt::LeftButton);
        QCOMPARE(color(3), ChosenColor);
        QCOMPARE(counters(), QStringLiteral("03/02/01"));
        sound_->played.clear();
        draws_ = {1};
        window_->Timer3Timer();

        // 3 of 5 right: 60 %, grade 3, a bad result.
        QVERIFY(window_->resultsPage()->isVisible());
        QCOMPARE(counters(), QStringLiteral("03/02/00"));
        QCOMPARE(text("AnalizStr"), QStringLiteral("Ужасно отвечаете! Оценка - 3"));
        QCOMPARE(control("AnalizStr")->property("color").toInt(), 255);
        QCOMPARE(text("Pozdr"), Izdevat[1]);
        QCOMPARE(sound_->played, QStringList{"BOO"});
        QVERIFY(window_->resultsPage()->loser()->movie());
        QCOMPARE(window_->resultsPage()->loser()->movie()->state(), QMovie::Running);
        QVERIFY(control("ShowOtchet")->isEnabled());

        // "Главное меню" asks, then ends the run.
        boxes_->setNextAnswer(MessageButton::Yes);
        QTest::mouseClick(control("spSkinButton15"), Qt::LeftButton);
        QVERIFY(window_->mainMenuPage()->isVisible());
        QCOMPARE(window_->RunMode(), QString());
        QCOMPARE(counters(), QStringLiteral("03/02/00"));
    }

    void exam_data() {
        QTest::addColumn<bool>("timeOut");
        QTest::newRow("all right") << false;
        QTest::newRow("time out in a lamp interval") << true;
    }
    // An exam of tickets 1, 2 and 4 (drawn 2, 4, 1 from those left) with a limit of one
    // minute; the examinee's name stays for the next exam.
    void exam() {
        QFETCH(bool, timeOut);
        start();
        window_->liveSettings().setTimeEkzSek(1);
        draws_ = {1, 2, 0};
        QString drawn;
        dialog_ = [&drawn](QDialog& dialog) {
            QCOMPARE(dialog.size(), QSize(318, 148));
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Информация к Экзамену"));
            drawn = inside<QLineEdit>(&dialog, "spSkinEdit2")->text();
            typeText(inside<QLineEdit>(&dialog, "spSkinEdit1"), QStringLiteral("Петров П. П."));
            QTest::mouseClick(inside<QPushButton>(&dialog, "spSkinButton1"), Qt::LeftButton);
        };
        QTest::mouseClick(control<QPushButton>("spSkinButton12"), Qt::LeftButton);
        QCOMPARE(drawn, QStringLiteral("1; 2; 4; "));
        QCOMPARE(window_->RunMode(), QStringLiteral("Ekz"));
        QCOMPARE(window_->ChosenTickets(), (QList<bool>{true, true, false, true}));
        QCOMPARE(counters(), QStringLiteral("00/00/15"));
        QVERIFY(!control("QButton")->isVisible());
        auto* gauge = control<QProgressBar>("TimeGo");
        QVERIFY(gauge->isVisible());
        QCOMPARE(gauge->maximum(), 60);
        QCOMPARE(gauge->text(), QStringLiteral("Время пошло..."));
        QVERIFY(window_->timerRunning(1));
        QVERIFY(!window_->timerRunning(4));
        QCOMPARE(text("min") + text("sec"), QStringLiteral("0000"));

        window_->Timer1Timer();
        QCOMPARE(text("min") + ":" + text("sec"), QStringLiteral("00:58"));
        const bool colon = control("t2toch")->isVisible();
        window_->Timer1Timer();
        QCOMPARE(control("t2toch")->isVisible(), !colon);
        QCOMPARE(text("sec"), QStringLiteral("57"));

        if (!timeOut) {
            for (int k = 0; k < 15; ++k) {
                const bool multiple = window_->AnswerMode() == 0;
                if (multiple) {
                    for (int n = 1; n <= 5; ++n) {
                        if (window_->rightAnswers().flag(window_->CurrentTicket(),
                                                         window_->CurrentQuestion(), n))
                            QTest::mouseClick(control(QStringLiteral("spSkinSwitch%1").arg(n)),
                                              Qt::LeftButton, {}, QPoint(10, 8));
                    }
                    QTest::mouseClick(control("ButtonTestChois"), Qt::LeftButton);
                } else {
                    clickAnswer(rightAnswerOfShownQuestion());
                }
                QVERIFY(lit("GreenLamp"));
                sound_->played.clear();
                window_->Timer3Timer();
            }
            QVERIFY(window_->resultsPage()->isVisible());
            QCOMPARE(counters(), QStringLiteral("15/00/00"));
            QCOMPARE(text("AnalizStr"),
                     QStringLiteral("Поздравляем ВЫ сдали Экзамен!!! Оценка -5"));
            QCOMPARE(control("AnalizStr")->property("color").toInt(), 32768);
            QCOMPARE(sound_->played, QStringList{"AWARDS"});
            QVERIFY(!window_->timerRunning(1));
            QVERIFY(!gauge->isVisible());
        } else {
            clickAnswer(rightAnswerOfShownQuestion());
            window_->Timer3Timer();
            clickAnswer(wrongAnswerOfShownQuestion());
            QVERIFY(lit("RedLamp"));
            QCOMPARE(counters(), QStringLiteral("01/01/14"));
            for (int tick = 3; tick <= 59; ++tick)
                window_->Timer1Timer();
            QCOMPARE(text("min") + text("sec"), QStringLiteral("0000"));
            QVERIFY(window_->questionPage()->isVisible());
            window_->Timer1Timer();
            // The pending lamp interval ends first: graded once on 1 + 1 + 13.
            QVERIFY(window_->resultsPage()->isVisible());
            QVERIFY(!lit("RedLamp"));
            QVERIFY(!window_->timerRunning(2) && !window_->timerRunning(1));
            QCOMPARE(counters(), QStringLiteral("01/01/13"));
            QCOMPARE(text("AnalizStr"), QStringLiteral("ВЫ не сдали Экзамен! Оценка - 2"));
            QCOMPARE(control("AnalizStr")->property("color").toInt(), 255);
        }

        // The next exam offers the name typed before.
        boxes_->setNextAnswer(MessageButton::Yes);
        QTest::mouseClick(control("spSkinButton15"), Qt::LeftButton);
        QString offered;
        draws_ = {1, 2, 3};
        dialog_ = [&offered](QDialog& dialog) {
            offered = inside<QLineEdit>(&dialog, "spSkinEdit1")->text();
            QTest::mouseClick(inside<QPushButton>(&dialog, "spSkinButton2"), Qt::LeftButton);
        };
        QTest::mouseClick(control<QPushButton>("spSkinButton12"), Qt::LeftButton);
        QCOMPARE(offered, QStringLiteral("Петров П. П."));
        QVERIFY(window_->mainMenuPage()->isVisible());
    }

    // Qt sends no leave to a disabled widget by the usual way; the real
    // pointer, moved by the window system, must still reveal the right answer.
    void leaveOfTheDisabledButtonRevealsTheRightAnswer() {
        start();
        window_->resize(900, 700);
        choosePreparationTickets({0});
        QTest::mouseClick(control<QPushButton>("spSkinButton10"), Qt::LeftButton);
        window_->Timer3Timer(); // nothing: no lamp interval
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        QWidget* wrong = control("TestBut2");
        const QPoint onButton = wrong->mapTo(window_.get(), wrong->rect().center());
        QTest::mouseMove(window_.get(), onButton);
        QCOMPARE(color(2), CurrentColor);
        QTest::mouseClick(wrong, Qt::LeftButton);
        QVERIFY(!wrong->isEnabled());
        QCOMPARE(color(2), WrongColor);
        QCOMPARE(color(1), WhiteColor);
        QWidget* text = control("Vopros");
        QTest::mouseMove(window_.get(), text->mapTo(window_.get(), text->rect().center()));
        QCOMPARE(color(1), RightColor);
        QCOMPARE(color(2), WrongColor);
    }

    // Loading a question disables the window for a moment; the keyboard
    // focus comes back to where it was.
    void keyboardStepsKeepTheFocus() {
        start();
        choosePreparationTickets({0});
        QTest::mouseClick(control<QPushButton>("spSkinButton10"), Qt::LeftButton);
        QApplication::setActiveWindow(window_.get());
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        QWidget* next = control("NextButton");
        next->setFocus();
        QVERIFY(next->hasFocus());
        QTest::keyClick(next, Qt::Key_Space);
        QCOMPARE(text("ButtonVopros"), QStringLiteral("2"));
        QVERIFY(next->hasFocus());
        // Answer keys 1 to 5 press the answer buttons.
        QTest::keyClick(window_.get(), Qt::Key_3);
        QTRY_VERIFY(lit("RedLamp"));
        QCOMPARE(color(3), WrongColor);
    }

    // The real timers: the lamp goes off by itself a second after an answer,
    // its frames running meanwhile.
    void realTimersAreWired() {
        start();
        choosePreparationTickets({1});
        QTest::mouseClick(control<QPushButton>("spSkinButton10"), Qt::LeftButton);
        QCOMPARE(text("ButtonBilet"), QStringLiteral("2"));
        clickAnswer(rightAnswerOfShownQuestion());
        QVERIFY(lit("GreenLamp"));
        QTRY_VERIFY(control("GreenLamp")->property("frame").toInt() != 0);
        QTRY_VERIFY_WITH_TIMEOUT(!lit("GreenLamp"), 5000);
        QCOMPARE(control("GreenLamp")->property("frame").toInt(), 0);
        QCOMPARE(counters(), QStringLiteral("01/00/04"));
        QCOMPARE(text("ButtonVopros"), QStringLiteral("2"));
        QVERIFY(control("TestBut1")->isEnabled());
    }

    // Answers belong to the base: pressing its button again starts afresh.
    void reopeningTheBaseForgetsTheAnswers() {
        start();
        choosePreparationTickets({0});
        QTest::mouseClick(control<QPushButton>("spSkinButton10"), Qt::LeftButton);
        clickAnswer(1);
        QVERIFY(window_->chosenAnswers().isAnswered(1, 1));
        QVERIFY(window_->rightAnswers().flag(1, 1, 1));
        window_->Timer3Timer();
        boxes_->setNextAnswer(MessageButton::Yes);
        QTest::mouseClick(control("spSkinButton8"), Qt::LeftButton);
        QTest::mouseClick(control<QPushButton>("reload"), Qt::LeftButton);
        QTest::mouseClick(control<QPushButton>("ButtonOfBase1"), Qt::LeftButton);
        QVERIFY(!window_->chosenAnswers().isAnswered(1, 1));
        QVERIFY(!window_->rightAnswers().flag(1, 1, 1));
    }

    // The tool tip shows the whole answer when it takes 3 lines or more in
    // its box, counted with the box's own font and width.
    void longAnswersShowTheirTextAsToolTip_data() {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("toolTip");
        QTest::newRow("one line") << QByteArray("Short answer") << false;
        QTest::newRow("two lines") << QByteArray("first\r\nsecond") << false;
        QTest::newRow("three lines") << QByteArray("first\r\nsecond\r\nthird") << true;
        QTest::newRow("break at the end") << QByteArray("first\r\nsecond\r\n") << false;
        QTest::newRow("wraps to two") << QByteArray("word ").repeated(26) << false;
        QTest::newRow("wraps to five") << QByteArray("word ").repeated(90) << true;
    }
    void longAnswersShowTheirTextAsToolTip() {
        QFETCH(QByteArray, answer);
        QFETCH(bool, toolTip);
        RecordContainerWriter record;
        record.add("vop", "yes", "2");
        record.add("vop", "ot1", answer);
        record.add("vop", "ot2", "Other");
        TestBaseBuilder base;
        base.setCounts(1, 1);
        base.addQuestion(1, 1, "Text", record);
        const QString path = QDir(QDir::tempPath()).filePath("korvel_tooltip_base.zip");
        base.write(path);
        start(path);
        QFile::remove(path);
        choosePreparationTickets({0});
        QTest::mouseClick(control<QPushButton>("spSkinButton10"), Qt::LeftButton);
        QCOMPARE(control("TestMemo1")->width(), window_->questionPage()->width() - 80);
        const QString text = control<QPlainTextEdit>("TestMemo1")->toPlainText();
        QCOMPARE(control("TestMemo1")->toolTip(), toolTip ? text : QString());
        QCOMPARE(control("TestMemo2")->toolTip(), QString());
    }

    // A question whose record cannot be read: one "File IO error", then it
    // is counted off, neither right nor wrong, never shown again, and the run
    // ends and is graded on the others; the report says what became of it.
    void unreadableRecordIsPassedOver_data() {
        QTest::addColumn<int>("damaged");
        QTest::newRow("first question") << 1;
        QTest::newRow("middle question") << 2;
        QTest::newRow("last question") << 3;
    }
    void unreadableRecordIsPassedOver() {
        QFETCH(int, damaged);
        const QString path = QDir(QDir::tempPath()).filePath("korvel_unreadable_base.zip");
        standardBase(1, 3).write(path);
        QVERIFY(corruptEntryCrc(path, "B1\\V." + QByteArray::number(damaged)));
        start(path);
        QFile::remove(path);
        choosePreparationTickets({0});
        QTest::mouseClick(control<QPushButton>("spSkinButton10"), Qt::LeftButton);
        QCOMPARE(counters(),
                 damaged == 1 ? QStringLiteral("00/00/02") : QStringLiteral("00/00/03"));
        QStringList visited;
        int answered = 0;
        for (int k = 0; k < 8 && window_->questionPage()->isVisible(); ++k) {
            visited << text("ButtonVopros");
            if (window_->runEngine().passingOver()) {
                QCOMPARE(window_->CurrentQuestion(), damaged);
                QVERIFY(!control("TestMemo1")->isVisible());
                window_->runEngine().endPassOver();
                continue;
            }
            clickAnswer(answered++ == 0 ? rightAnswerOfShownQuestion()
                                        : wrongAnswerOfShownQuestion());
            if (window_->timerRunning(3))
                window_->Timer3Timer();
            else
                window_->Timer2Timer();
        }
        QCOMPARE(visited, (QStringList{"1", "2", "3"}));
        QVERIFY(window_->resultsPage()->isVisible());
        QCOMPARE(counters(), QStringLiteral("01/01/00"));
        QCOMPARE(text("AnalizStr"), QStringLiteral("Ужасно отвечаете! Оценка - 2"));
        QVERIFY(!window_->chosenAnswers().isAnswered(1, damaged));
        const auto fileIoErrors = [this] {
            int count = 0;
            for (const auto& box : boxes_->shown())
                count += box.text == QLatin1String("File IO error") ? 1 : 0;
            return count;
        };
        QCOMPARE(fileIoErrors(), 1);

        QTest::mouseClick(control<QPushButton>("ShowOtchet"), Qt::LeftButton);
        const QString report = window_->questionPage()->text()->toPlainText();
        QVERIFY(report.contains(QStringLiteral("Общее количество вопросов - 2\n")));
        QCOMPARE(report.count(QStringLiteral("Запись этого вопроса не удалось прочитать")), 1);
        QCOMPARE(report.count(QStringLiteral("Были допущены ошибки на вопрос:")), 2);
        QCOMPARE(fileIoErrors(), 1);

        // The journal keeps the run as the page showed it: graded on the two
        // questions read, and the report composed from it is the same.
        QString error;
        const auto journal = JournalReader::open(journalPath(), error);
        QVERIFY2(journal, qPrintable(error));
        std::optional<StoredRun> run;
        QVERIFY(journal->forEachRun(
            {},
            [&](const StoredRun& found) {
                run = journal->run(found.start.runId, error);
                return false;
            },
            error));
        QVERIFY2(run && run->end, qPrintable(error));
        QCOMPARE(QList<int>({run->end->total, run->end->rightCount, run->end->wrongCount,
                             run->end->unanswered, run->end->percent, run->end->grade.value()}),
                 QList<int>({2, 1, 1, 0, 50, 2}));
        QCOMPARE(run->presented.size(), 3);
        QCOMPARE(run->presented.at(damaged - 1).right, QList<int>());
        Archiver archiver;
        QTextDocument past;
        composeReport(past, pastReportInput(*run, folder_->filePath("Base/demo.zip"), archiver),
                      ReportHooks{});
        QCOMPARE(past.toPlainText(), report);
    }

    // A question record that cannot be read: a clear message, the window
    // usable again and the overlay gone.
    void unreadableQuestionLeavesTheWindowUsable() {
        TestBaseBuilder base;
        base.setCounts(1, 2);
        base.addQuestion(1, 1, "Первый", standardQuestion(1));
        base.addQuestion(1, 2, "Второй", standardQuestion(7, 3)); // no answer 7
        const QString path = QDir(QDir::tempPath()).filePath("korvel_damaged_base.zip");
        base.write(path);
        start(path);
        QFile::remove(path);
        choosePreparationTickets({0});
        QTest::mouseClick(control<QPushButton>("spSkinButton10"), Qt::LeftButton);
        clickAnswer(1);
        boxes_->clear();
        window_->Timer3Timer();
        QCOMPARE(text("ButtonVopros"), QStringLiteral("2"));
        QCOMPARE(boxes_->shown().size(), 1);
        QVERIFY(window_->isEnabled());
        QVERIFY(!control("MesShow")->isVisible());
        boxes_->setNextAnswer(MessageButton::Yes);
        QTest::mouseClick(control("spSkinButton8"), Qt::LeftButton);
        QVERIFY(window_->mainMenuPage()->isVisible());
    }
};

QTEST_MAIN(QuestionLoopTest)
#include "tst_question_loop.moc"
