// Runs sat headless on bases written here: presentation, answering,
// navigation, run starts, the exam clock and grading.
#include "basestore/question_cipher.h"
#include "engine/grading.h"
#include "engine_fixture.h"

#include <QFile>
#include <QStringEncoder>
#include <QTextDocument>

using namespace korvel;

namespace {
QByteArray cp1251(const QString& text) {
    return QStringEncoder("windows-1251").encode(text);
}

// 4 tickets of 5 questions. 1.1: answers 1, 2 and 4 only, right 2.
// 1.2: several right, 1 and 3 of 4. 1.3: has a literature page.
// 2.3: has a picture. All others: three answers, right (t + q) % 3 + 1.
TestBaseBuilder runBase() {
    TestBaseBuilder base;
    base.setCounts(4, 5);
    base.descriptor().add("Literature", "L7", "page7.htm");
    base.descriptor().add("Base", "Pozdr", cp1251(QStringLiteral("Молодец\r\nХорошо\r\n")));
    base.descriptor().add("Base", "Izdevat", cp1251(QStringLiteral("Плохо")));
    base.addEntry(QStringLiteral("Skin\\good.gif"), testGif());
    for (int t = 1; t <= 4; ++t) {
        for (int q = 1; q <= 5; ++q) {
            const QByteArray text =
                "Question " + QByteArray::number(t) + "." + QByteArray::number(q);
            if (t == 1 && q == 1) {
                RecordContainerWriter record;
                record.add("vop", "yes", "2").add("vop", "ot1", "One").add("vop", "ot2", "Two");
                record.add("vop", "ot4", "Four");
                base.addQuestion(t, q, text, record);
            } else if (t == 1 && q == 2) {
                base.addQuestion(t, q, text, multipleQuestion({1, 3}, 4));
            } else if (t == 1 && q == 3) {
                RecordContainerWriter record = standardQuestion(1, 3);
                record.add("Literature", "Index", "7").add("Literature", "Punkt", "p3");
                base.addQuestion(t, q, text, record);
            } else {
                base.addQuestion(t, q, text, standardQuestion((t + q) % 3 + 1, 3),
                                 t == 2 && q == 3 ? testJpeg() : QByteArray());
            }
        }
    }
    return base;
}

QList<int> tops(const EngineFixture& f) {
    QList<int> result;
    for (int n = 1; n <= AnswerRows; ++n)
        result.append(f.row(n).top);
    return result;
}

void answerRight(EngineFixture& f) {
    if (f.state().AnswerMode == 0) {
        for (int n = 1; n <= AnswerRows; ++n) {
            if (f.state().RightAnswers.flag(f.state().CurrentTicket, f.cur(), n))
                f.engine->setSwitch(n, true);
        }
        f.engine->ButtonTestChoisClick();
    } else {
        f.engine->TestButClick(f.rightRow());
    }
}

void endLamp(EngineFixture& f) {
    if (f.engine->timer(3).isActive())
        f.engine->Timer3Timer();
    else
        f.engine->Timer2Timer();
}

int countOf(const QStringList& events, const QString& event) {
    return int(events.count(event));
}
} // namespace

class RunEngineTest : public QObject {
    Q_OBJECT
private slots:
    void presentationLaysOutRows() {
        EngineFixture f(runBase());
        f.startPreparation({1});
        QCOMPARE(f.state().RunMode, QStringLiteral("Test"));
        QCOMPARE(f.state().CurrentTicket, 1);
        QCOMPARE(f.cur(), 1);
        QCOMPARE(f.state().AnswerMode, 2);
        QCOMPARE(tops(f), (QList<int>{48, 88, 128, 168, 208}));
        QCOMPARE(f.row(3).memoVisible, false);
        QCOMPARE(f.row(3).labelVisible, false);
        QCOMPARE(f.row(4).text, QStringLiteral("Four"));
        QVERIFY(f.row(4).buttonVisible && !f.row(4).switchPanelVisible);
        QCOMPARE(f.state().RightAnswers.cell(1, 1), QByteArray("\0\1\0\0\0", 5));
        QCOMPARE(f.engine->questionDocument()->toPlainText(), QStringLiteral("Question 1.1"));
        QCOMPARE(f.page().buttonRemain, 5);
        QCOMPARE(f.page().buttonBilet, 1);
        QCOMPARE(f.page().buttonVopros, 1);
        QVERIFY(f.page().answerControlsEnabled);
        QVERIFY(f.engine->busy().windowEnabled && !f.engine->busy().overlayVisible);
        QCOMPARE(f.window.page, RunPage::Question);
        QVERIFY(f.engine->timer(4).isActive());
        QCOMPARE(f.page().minText, QStringLiteral("9"));
        QCOMPARE(f.page().secText, QStringLiteral("05"));

        // Shuffling packs the three rows into the first three places.
        f.settings.setTusPod(true);
        f.engine->ShowZamtor();
        QList<int> shown{f.row(1).top, f.row(2).top, f.row(4).top};
        std::sort(shown.begin(), shown.end());
        QCOMPARE(shown, (QList<int>{48, 88, 128}));
        QCOMPARE(f.state().RightAnswers.cell(1, 1), QByteArray("\0\1\0\0\0", 5));

        // Several right answers: switches, all off, right flags from V<n>.
        f.engine->NextButtonClick();
        QCOMPARE(f.cur(), 2);
        QCOMPARE(f.state().AnswerMode, 0);
        for (int n = 1; n <= 4; ++n)
            QVERIFY(f.row(n).switchPanelVisible && !f.row(n).buttonVisible && !f.row(n).switchOn);
        QCOMPARE(f.state().RightAnswers.cell(1, 2), QByteArray("\1\0\1\0\0", 5));
    }

    void informationButtonFollowsPageAndOption_data() {
        QTest::addColumn<bool>("pageExists");
        QTest::addColumn<bool>("pEkzInfo");
        QTest::addColumn<bool>("shown");
        QTest::newRow("no page") << false << true << false;
        QTest::newRow("page, option on") << true << true << true;
        QTest::newRow("page, option off") << true << false << false;
    }
    void informationButtonFollowsPageAndOption() {
        QFETCH(bool, pageExists);
        EngineFixture f(runBase());
        QFETCH(bool, pEkzInfo);
        f.settings.setPEkzInfo(pEkzInfo);
        if (pageExists) {
            QFile page(f.folder.filePath(QStringLiteral("Help/page7.htm")));
            QVERIFY(page.open(QIODevice::WriteOnly));
        }
        f.startPreparation({1});
        f.engine->NextButtonClick();
        f.engine->NextButtonClick();
        QCOMPARE(f.cur(), 3);
        QCOMPARE(f.state().LiteratureIndex, QStringLiteral("7"));
        QCOMPARE(f.state().LiteraturePunkt, QStringLiteral("p3"));
        QFETCH(bool, shown);
        QCOMPARE(f.page().infoButtonVisible, shown);
    }

    void singleAnswers() {
        EngineFixture f(runBase());
        f.startPreparation({1});
        f.sound.events.clear();
        f.engine->TestButMouseEnter(2);
        QCOMPARE(f.row(2).color, f.settings.defultColore());
        f.engine->TestButMouseDown(2);
        f.engine->TestButClick(2);
        QCOMPARE(f.row(2).color, f.settings.trueColor());
        QVERIFY(f.page().greenLampLit && !f.page().redLampLit);
        QVERIFY(!f.page().answerControlsEnabled);
        QVERIFY(f.engine->timer(3).isActive());
        QCOMPARE(f.page().greenLabel, 1);
        QCOMPARE(f.sound.events, (QStringList{"stop", "play EN", "stop", "play GOOD"}));
        // A second click in the lamp interval changes nothing.
        f.engine->TestButClick(1);
        QCOMPARE(f.page().redLabel, 0);

        f.engine->Timer3Timer();
        QVERIFY(!f.page().greenLampLit && !f.engine->timer(3).isActive());
        QCOMPARE(f.page().buttonRemain, 4);
        QCOMPARE(f.cur(), 2);
        QVERIFY(f.page().answerControlsEnabled);

        // A wrong answer: the right one shows once the pointer leaves.
        f.engine->NextButtonClick();
        QCOMPARE(f.cur(), 3);
        f.settings.setSoundOn(false);
        f.sound.events.clear();
        f.engine->TestButMouseEnter(3);
        f.engine->TestButClick(3);
        QCOMPARE(f.row(3).color, f.settings.wrongColor());
        QCOMPARE(f.row(1).color, White);
        QVERIFY(f.page().redLampLit && f.engine->timer(2).isActive());
        QCOMPARE(f.sound.events, (QStringList{"stop", "stop"}));
        f.engine->TestButMouseLeave(3);
        QCOMPARE(f.row(1).color, f.settings.trueColor());
        QCOMPARE(f.row(3).color, f.settings.wrongColor());
        QCOMPARE(f.page().redLabel, 1);
    }

    // The answer is the activated button's, also when the user has made the
    // colour under the pointer equal to another row's colour.
    void keyboardAndEqualColoursAnswerTheActivatedButton() {
        EngineFixture f(runBase());
        f.settings.setColor(5, White);
        f.startPreparation({2});
        const int wrong = f.wrongRow();
        f.engine->TestButClick(wrong);
        QVERIFY(f.state().ChosenAnswers.flag(2, 1, wrong));
        QCOMPARE(f.state().ChosenAnswers.cell(2, 1).count('\1'), 1);
        QCOMPARE(f.page().redLabel, 1);
    }

    void multipleAnswers_data() {
        QTest::addColumn<QList<int>>("switches");
        QTest::addColumn<bool>("right");
        QTest::addColumn<QList<int>>("colours"); // 1 right, 2 wrong, 3 chosen, 0 white
        QTest::newRow("exactly right") << QList<int>{1, 3} << true << QList<int>{3, 0, 3, 0};
        QTest::newRow("one missed") << QList<int>{1} << false << QList<int>{3, 0, 1, 0};
        QTest::newRow("one too many") << QList<int>{1, 3, 4} << false << QList<int>{3, 0, 3, 2};
        QTest::newRow("switched off again")
            << QList<int>{1, 3, -3} << false << QList<int>{3, 0, 1, 0};
    }
    void multipleAnswers() {
        QFETCH(QList<int>, switches);
        QFETCH(QList<int>, colours);
        EngineFixture f(runBase());
        f.startPreparation({1});
        f.engine->NextButtonClick();
        for (int n : switches) {
            f.engine->TestButMouseEnter(qAbs(n));
            f.engine->setSwitch(qAbs(n), n > 0);
            QCOMPARE(f.row(qAbs(n)).color,
                     n > 0 ? f.settings.labelColor() : f.settings.defultColore());
            f.engine->TestButMouseLeave(qAbs(n));
        }
        f.engine->ButtonTestChoisClick();
        const int expected[] = {White, f.settings.trueColor(), f.settings.wrongColor(),
                                f.settings.choisColor()};
        for (int n = 1; n <= 4; ++n)
            QCOMPARE(f.row(n).color, expected[colours.at(n - 1)]);
        QFETCH(bool, right);
        QCOMPARE(f.page().greenLampLit, right);
        QCOMPARE(f.page().greenLabel + f.page().redLabel, 1);
    }

    void confirmWithoutChoiceAsks() {
        EngineFixture f(runBase());
        f.startPreparation({1});
        f.engine->ButtonTestChoisClick();
        QCOMPARE(f.boxes.shown().size(), 1);
        QCOMPARE(f.boxes.shown().first().text, QStringLiteral("Сделайте выбор пожалуйста!"));
        QCOMPARE(f.boxes.shown().first().kind, MessageKind::Information);
        QVERIFY(f.page().answerControlsEnabled);
        QVERIFY(!f.state().ChosenAnswers.isAnswered(1, 1));
    }

    void helpRevealsRightAnswers() {
        EngineFixture f(runBase());
        f.startPreparation({1});
        f.engine->NextButtonClick();
        f.engine->QButtonClick();
        QCOMPARE(f.row(1).color, f.settings.trueColor());
        QCOMPARE(f.row(2).color, White);
        QCOMPARE(f.row(3).color, f.settings.trueColor());
        QCOMPARE(f.page().greenLabel + f.page().redLabel, 0);
    }

    void navigationSkipsAnsweredQuestions() {
        EngineFixture f(runBase());
        f.startPreparation({2, 4});
        // Answer 2.1, 2.2 and 2.4: forward from 2.2 goes to 3, from 3 to 5, from 5 to 3.
        for (int q : {1, 2, 4}) {
            while (f.cur() != q)
                f.engine->NextButtonClick();
            answerRight(f);
            f.engine->Timer3Timer();
        }
        f.engine->NextButtonClick();
        QCOMPARE(f.cur(), 3);
        f.engine->NextButtonClick();
        QCOMPARE(f.cur(), 5);
        f.engine->NextButtonClick();
        QCOMPARE(f.cur(), 3);
        f.engine->BackButtonsClick();
        QCOMPARE(f.cur(), 5);
        // Finishing ticket 2 goes on at ticket 4, question 1.
        answerRight(f);
        f.engine->Timer3Timer();
        answerRight(f);
        f.engine->Timer3Timer();
        QCOMPARE(f.state().CurrentTicket, 4);
        QCOMPARE(f.cur(), 1);
        QCOMPARE(f.page().buttonBilet, 4);
        // Tickets outside the run are never shown.
        for (int k = 0; k < 6; ++k) {
            f.engine->NextBiletClick();
            QCOMPARE(f.state().CurrentTicket, 4);
            f.engine->PrevBiletClick();
            QCOMPARE(f.state().CurrentTicket, 4);
        }
        // NextBilet keeps the question number.
        f.engine->NextButtonClick();
        f.engine->NextButtonClick();
        QCOMPARE(f.cur(), 3);
        f.engine->NextBiletClick();
        QCOMPARE(f.cur(), 3);
    }

    void backwardStepEntersTicketAtLastOpenQuestion() {
        EngineFixture f(runBase());
        f.startPreparation({1, 3});
        while (f.state().CurrentTicket == 1) {
            answerRight(f);
            endLamp(f);
        }
        QCOMPARE(f.state().CurrentTicket, 3);
        answerRight(f); // 3.1
        f.engine->Timer3Timer();
        f.engine->PrevBiletClick();
        // Ticket 1 is full, so the search comes back to ticket 3.
        QCOMPARE(f.state().CurrentTicket, 3);
        QCOMPARE(f.cur(), 2);
        f.engine->BackButtonsClick();
        QCOMPARE(f.cur(), 5);
    }

    void givingUpListsAnswersAndAsksToLeave() {
        EngineFixture f(runBase());
        f.startPreparation({3});
        for (int k = 0; k < 4; ++k) {
            answerRight(f);
            f.engine->Timer3Timer();
        }
        answerRight(f); // the last one; its lamp still burns
        f.boxes.setNextAnswer(MessageButton::No);
        const int shown = f.cur();
        f.engine->NextBiletClick();
        QVERIFY(f.page().memo2Visible);
        QVERIFY(f.page().memo2Text.startsWith(QStringLiteral("Билет: 1\nВопрос: 1/// - 00000\n")));
        QVERIFY(f.page().memo2Text.contains(QStringLiteral("Билет: 3\nВопрос: 1/// - ")));
        QCOMPARE(f.boxes.shown().last().text,
                 QStringLiteral("Вы действительно хотите выйте из Теста?"));
        QCOMPARE(f.state().CurrentTicket, 3);
        QCOMPARE(f.cur(), shown);
        QCOMPARE(f.window.page, RunPage::Question);
        f.engine->Timer3Timer();
        QCOMPARE(f.page().buttonRemain, 0);
        QCOMPARE(f.window.page, RunPage::Results);
        QCOMPARE(f.engine->results().analizStr, QStringLiteral("Отлично отвечаете! Оценка - 5"));
        QCOMPARE(f.engine->results().analizStrColor, GoodResultColor);
        QVERIFY(f.engine->results().pozdr == QStringLiteral("Молодец") ||
                f.engine->results().pozdr == QStringLiteral("Хорошо"));
        QCOMPARE(f.engine->results().loserGif, testGif());
    }

    void mainMenuReturn() {
        EngineFixture f(runBase());
        f.startPreparation({1});
        answerRight(f);
        f.boxes.setNextAnswer(MessageButton::None);
        f.engine->spSkinButton8Click();
        QCOMPARE(f.window.page, RunPage::Question);
        QCOMPARE(f.state().RunMode, QStringLiteral("Test"));
        f.boxes.setNextAnswer(MessageButton::Yes);
        f.engine->spSkinButton8Click();
        QCOMPARE(f.window.page, RunPage::MainMenu);
        QVERIFY(f.state().RunMode.isEmpty());
        QVERIFY(f.state().spSkinButton10ShowHint && f.state().spSkinButton12ShowHint);
        QCOMPARE(f.page().greenLabel, 1);
        // A new run right away does not inherit the old lamp interval.
        f.startPreparation({2});
        QVERIFY(!f.engine->timer(3).isActive() && !f.page().greenLampLit);
        QCOMPARE(f.page().buttonRemain, 5);
        QCOMPARE(f.page().greenLabel, 0);
    }

    void examDrawsTickets() {
        EngineFixture f(runBase());
        f.settings.setNumBil(5);
        f.startExam();
        QCOMPARE(f.settings.numBil(), 4);
        QCOMPARE(f.engine->examInfo().spSkinEdit2, QStringLiteral("1; 2; 3; 4; "));
        QCOMPARE(f.state().RunMode, QStringLiteral("Ekz"));
        QCOMPARE(f.page().buttonRemain, 20);
        QVERIFY(!f.page().qButtonVisible);

        // Two of four, drawn uniformly.
        QHash<QString, int> draws;
        f.settings.setNumBil(2);
        f.window.onExamInfo = [&f] { f.engine->ExamCancelClick(); };
        for (int k = 0; k < 600; ++k) {
            f.engine->spSkinButton12Click();
            QCOMPARE(f.state().chosenCount(), 2);
            ++draws[f.engine->examInfo().spSkinEdit2];
        }
        QCOMPARE(draws.size(), 6);
        for (int count : std::as_const(draws))
            QVERIFY2(count > 60, qPrintable(QString::number(count)));
        QCOMPARE(f.engine->examInfo().spSkinEdit1, QStringLiteral("Иванов"));
    }

    void timedExamEndsAtTheLimit() {
        EngineFixture f(runBase());
        f.settings.setTimeEkzSek(1);
        f.settings.setNumBil(2);
        f.startExam();
        QVERIFY(f.engine->timer(1).isActive());
        QVERIFY(!f.engine->timer(4).isActive());
        QCOMPARE(f.page().timeGoMaximum, 60);
        f.engine->Timer1Timer();
        QCOMPARE(f.page().minText + f.page().secText, QStringLiteral("0058"));
        answerRight(f);
        f.engine->Timer3Timer();
        for (int k = 2; k <= 59; ++k)
            f.engine->Timer1Timer();
        QCOMPARE(f.page().minText + f.page().secText, QStringLiteral("0000"));
        QCOMPARE(f.window.page, RunPage::Question);
        f.sound.events.clear();
        f.engine->Timer1Timer();
        QCOMPARE(f.window.page, RunPage::Results);
        QVERIFY(!f.engine->timer(1).isActive() && !f.page().timeGoVisible);
        QCOMPARE(f.engine->results().analizStr, QStringLiteral("ВЫ не сдали Экзамен! Оценка - 2"));
        QCOMPARE(f.engine->results().analizStrColor, BadResultColor);
        QCOMPARE(f.engine->results().pozdr, QStringLiteral("Плохо"));
        QVERIFY(f.engine->results().loserGif.isEmpty());
        QCOMPARE(f.sound.events, (QStringList{"stop", "play BOO"}));
    }

    // The limit reached while a lamp burns: the answer is counted off, the
    // run graded once, and the lamp timer does not grade it again.
    void timeRunningOutInALampInterval() {
        EngineFixture f(runBase());
        f.settings.setTimeEkzSek(1);
        f.settings.setNumBil(1);
        f.startExam();
        for (int k = 0; k < 4; ++k) {
            answerRight(f);
            f.engine->Timer3Timer();
        }
        answerRight(f);
        for (int k = 1; k <= 59; ++k)
            f.engine->Timer1Timer();
        f.sound.events.clear();
        f.engine->Timer1Timer();
        QCOMPARE(f.page().buttonRemain, 0);
        QVERIFY(!f.page().greenLampLit && !f.engine->timer(3).isActive());
        QCOMPARE(f.engine->results().analizStr,
                 QStringLiteral("Поздравляем ВЫ сдали Экзамен!!! Оценка -5"));
        f.engine->Timer3Timer();
        QCOMPARE(f.page().buttonRemain, 0);
        QCOMPARE(countOf(f.sound.events, QStringLiteral("play AWARDS")), 1);
    }

    void untimedExamKeepsTheClockStill() {
        EngineFixture f(runBase());
        f.settings.setTimeEkz(false);
        f.settings.setNumBil(1);
        f.startExam();
        QVERIFY(!f.engine->timer(1).isActive() && !f.engine->timer(4).isActive());
        QVERIFY(!f.page().timeGoVisible);
        QCOMPARE(f.page().minText + f.page().secText, QStringLiteral("0000"));
    }

    void timeOfDayClock() {
        EngineFixture f(runBase());
        f.now = QTime(14, 30);
        f.engine->EnabledWatch();
        QCOMPARE(f.page().minText + ":" + f.page().secText, QStringLiteral("14:30"));
        const bool separator = f.page().separatorVisible;
        f.now = QTime(15, 2);
        f.engine->Timer4Timer();
        QCOMPARE(f.page().minText + ":" + f.page().secText, QStringLiteral("15:02"));
        QCOMPARE(f.page().separatorVisible, !separator);
        f.engine->DisabledWatch();
        QCOMPARE(f.page().minText + f.page().secText, QStringLiteral("0000"));
        QVERIFY(!f.engine->timer(4).isActive());
    }

    // Damaged question entries are reported; the window comes back and the
    // run can go on.
    void damagedQuestionsAreReported_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("plain");
        QTest::newRow("record unreadable") << "norecord"
                                           << "File IO error" << true;
        QTest::newRow("record not a container")
            << "garbage"
            << "Запись вопроса повреждена (билет 1, вопрос 1)" << false;
        QTest::newRow("answer mode out of range")
            << "mode7"
            << "В записи вопроса неверный номер правильного ответа (билет 1, вопрос 1)" << false;
        QTest::newRow("text missing")
            << "notext"
            << "Не удалось прочитать текст вопроса (билет 1, вопрос 1)" << false;
    }
    void damagedQuestionsAreReported() {
        QFETCH(QString, damage);
        TestBaseBuilder base;
        base.setCounts(1, 2);
        if (damage == QLatin1String("norecord")) {
            base.addEntry(QStringLiteral("B1\\T.1"), "Text");
        } else if (damage == QLatin1String("garbage")) {
            RecordContainerWriter record;
            record.addWithLengthField("vop", "yes", "x9", "1");
            base.addEntry(QStringLiteral("B1\\T.1"), "Text");
            base.addRawRecord(1, 1, cipherQuestionRecord(record.bytes()));
        } else if (damage == QLatin1String("mode7")) {
            base.addQuestion(1, 1, "Text", standardQuestion(7, 3));
        } else {
            base.addRawRecord(1, 1, cipherQuestionRecord(standardQuestion(1, 3).bytes()));
        }
        base.addQuestion(1, 2, "Text 2", standardQuestion(1, 3));
        EngineFixture f(base);
        f.startPreparation({1});
        QVERIFY(!f.boxes.shown().isEmpty());
        QFETCH(QString, message);
        QVERIFY2(f.boxes.shown().first().text.startsWith(message),
                 qPrintable(f.boxes.shown().first().text));
        QFETCH(bool, plain);
        QCOMPARE(f.boxes.shown().first().plain, plain);
        QVERIFY(f.engine->busy().windowEnabled && !f.engine->busy().overlayVisible);
        const bool recordBroken = damage != QLatin1String("notext");
        for (int n = 1; n <= AnswerRows; ++n)
            QCOMPARE(f.row(n).memoVisible, !recordBroken && n <= 3);
        if (recordBroken)
            QVERIFY(!f.page().infoButtonVisible);
        f.engine->NextButtonClick();
        QCOMPARE(f.cur(), 2);
        QCOMPARE(f.row(1).text, QStringLiteral("Answer 1"));
    }

    void baseFileGone() {
        EngineFixture f(runBase());
        f.startPreparation({1});
        QVERIFY(QFile::remove(f.basePath));
        f.engine->NextButtonClick();
        QCOMPARE(f.boxes.shown().last().text, QStringLiteral("Нет файла с вопросами!!!"));
        QCOMPARE(f.engine->questionDocument()->toPlainText(), QStringLiteral("Question 1.1"));
        QVERIFY(f.engine->busy().windowEnabled);
    }

    // A lamp timer that fires while a question loads steps on; the question
    // then loads once more for where the cursor is, with no recursion.
    void timerFiringWhileAQuestionLoads() {
        EngineFixture f(runBase());
        f.startPreparation({2});
        answerRight(f);
        bool fired = false;
        f.window.onProcessEvents = [&] {
            if (!fired && f.engine->timer(3).isActive()) {
                fired = true;
                f.engine->Timer3Timer();
            }
        };
        f.engine->BackButtonsClick(); // to 2.5; the lamp then steps to 2.2
        QVERIFY(fired);
        QCOMPARE(f.cur(), 2);
        QCOMPARE(f.page().buttonVopros, 2);
        QCOMPARE(f.engine->questionDocument()->toPlainText(), QStringLiteral("Question 2.2"));
        QVERIFY(f.engine->busy().windowEnabled);
        QVERIFY(f.page().answerControlsEnabled);
    }

    void analysisBrowsesEveryQuestionOfTheRun() {
        EngineFixture f(runBase());
        f.startPreparation({2, 4});
        for (int k = 0; k < 10; ++k) {
            if (k % 3 == 0)
                f.engine->TestButClick(f.wrongRow());
            else
                answerRight(f);
            endLamp(f);
        }
        QCOMPARE(f.window.page, RunPage::Results);
        QCOMPARE(f.state().CurrentTicket, 4);
        f.engine->Frame61spSkinButton1Click();
        QVERIFY(f.state().AnalysisFlag);
        QVERIFY(!f.page().answerControlsEnabled && f.page().backAnVisible);
        QCOMPARE(f.state().CurrentTicket, 4);
        QCOMPARE(f.cur(), 1);
        for (int k = 0; k < 4; ++k)
            f.engine->NextButtonClick();
        QCOMPARE(f.cur(), 5);
        f.engine->NextButtonClick();
        QCOMPARE(f.state().CurrentTicket, 2);
        QCOMPARE(f.cur(), 1);
        // 2.1 was answered wrong: its box shows it, and the right one.
        const int chosen = f.state().ChosenAnswers.cell(2, 1).indexOf('\1') + 1;
        QCOMPARE(f.row(chosen).color, f.settings.wrongColor());
        QCOMPARE(f.row(f.state().AnswerMode).color, f.settings.trueColor());
        f.engine->BackButtonsClick();
        QCOMPARE(f.state().CurrentTicket, 4);
        QCOMPARE(f.cur(), 5);
        f.engine->NextBiletClick();
        QCOMPARE(f.state().CurrentTicket, 2);
        QCOMPARE(f.cur(), 5);
        // Nothing answers in analysis; help only clicks.
        f.engine->TestButClick(1);
        f.engine->QButtonClick();
        QCOMPARE(f.page().redLabel, 4);
        QCOMPARE(f.page().greenLabel, 6);
        f.engine->BackAnClick();
        QCOMPARE(f.window.page, RunPage::Results);
        QVERIFY(f.state().AnalysisFlag);
    }

    void workOnErrorsAsksWhatIsNotRight() {
        EngineFixture f(runBase());
        f.settings.setTimeEkzSek(1);
        f.settings.setNumBil(1);
        f.startExam();
        const int ticket = f.state().CurrentTicket;
        // Two wrong, one right, then time runs out with 2 unanswered, one of
        // them shown.
        f.engine->TestButClick(f.wrongRow());
        f.engine->Timer2Timer();
        answerRight(f);
        f.engine->Timer3Timer();
        f.engine->TestButClick(f.wrongRow());
        f.engine->Timer2Timer();
        for (int k = 0; k < 60; ++k)
            f.engine->Timer1Timer();
        QCOMPARE(f.window.page, RunPage::Results);
        QCOMPARE(f.page().buttonRemain, 2);

        f.engine->WorkErrorClick();
        QCOMPARE(f.state().CurrentTicket, ticket);
        QCOMPARE(f.page().buttonRemain, 3); // two wrong and the one shown
        QVERIFY(!f.engine->results().showOtchetEnabled);
        QCOMPARE(f.state().RunMode, QStringLiteral("Test"));
        QVERIFY(f.page().answerControlsEnabled && f.page().qButtonVisible);
        QCOMPARE(f.cur(), 1);
        while (f.window.page == RunPage::Question) {
            answerRight(f);
            endLamp(f);
        }
        QCOMPARE(f.engine->results().analizStr,
                 QStringLiteral("Работа над ошибками прошла ХОРОШО! Оценка - 5"));
        QVERIFY(f.engine->results().showOtchetEnabled);
        f.boxes.clear();
        f.engine->WorkErrorClick();
        QCOMPARE(f.boxes.shown().size(), 1);
        QCOMPARE(f.boxes.shown().first().text,
                 QStringLiteral("Вы на все вопросы ответили правильно !"));
        QCOMPARE(f.window.page, RunPage::Results);
    }

    void questionsBrowsedInAnalysisAreAskedAgain() {
        EngineFixture f(runBase());
        f.settings.setTimeEkzSek(1);
        f.settings.setNumBil(1);
        f.startExam();
        answerRight(f);
        f.engine->Timer3Timer();
        for (int k = 0; k < 60; ++k)
            f.engine->Timer1Timer();
        f.engine->WorkErrorClick(); // only the question shown but not answered
        QCOMPARE(f.page().buttonRemain, 1);
        f.boxes.setNextAnswer(MessageButton::Yes);
        f.engine->spSkinButton8Click();

        f.startExam();
        answerRight(f);
        f.engine->Timer3Timer();
        for (int k = 0; k < 60; ++k)
            f.engine->Timer1Timer();
        f.engine->Frame61spSkinButton1Click();
        for (int k = 0; k < 5; ++k)
            f.engine->NextButtonClick();
        f.engine->BackAnClick();
        f.engine->WorkErrorClick();
        QCOMPARE(f.page().buttonRemain, 4);
        QVERIFY(!f.state().AnalysisFlag);
    }

    void literaturePageOpensAtItsAnchor() {
        EngineFixture f(runBase());
        QFile page(f.folder.filePath(QStringLiteral("Help/page7.htm")));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.close();
        f.startPreparation({1});
        f.engine->NextButtonClick();
        f.engine->setSwitch(1, true);
        f.engine->setSwitch(3, true);
        f.engine->infoButtonClick(); // 1.2 has no literature
        QVERIFY(f.window.literatureOpened.isEmpty());
        f.engine->NextButtonClick();
        f.engine->infoButtonClick();
        QCOMPARE(f.window.literatureOpened, page.fileName() + QStringLiteral("#p3"));
        QCOMPARE(f.window.page, RunPage::Literature);
        QVERIFY(f.engine->busy().windowEnabled && !f.engine->busy().overlayVisible);

        // A page that cannot be read: a message, the window usable.
        f.window.page = RunPage::Question;
        f.window.literatureError = QStringLiteral("unreadable");
        f.engine->infoButtonClick();
        QCOMPARE(f.boxes.shown().last().text, QStringLiteral("unreadable"));
        QCOMPARE(f.window.page, RunPage::Question);
        QVERIFY(f.engine->busy().windowEnabled && !f.engine->busy().overlayVisible);

        // The file removed since the question was shown: nothing happens.
        QVERIFY(QFile::remove(page.fileName()));
        f.window.literatureOpened.clear();
        f.engine->infoButtonClick();
        QVERIFY(f.window.literatureOpened.isEmpty());

        f.engine->Image16Click();
        f.engine->NextButtonClick();
        QVERIFY(f.page().pictureStretched);
        f.engine->Image16Click();
        QVERIFY(!f.page().pictureStretched);
    }

    void reportShownSavedAndPrinted() {
        EngineFixture f(runBase());
        f.startPreparation({3});
        f.engine->TestButClick(f.wrongRow());
        f.engine->Timer2Timer();
        while (f.window.page == RunPage::Question) {
            answerRight(f);
            endLamp(f);
        }
        f.engine->ShowOtchetClick();
        QCOMPARE(f.window.page, RunPage::Question);
        QVERIFY(!f.page().buttonPanelVisible && f.page().backAnVisible);
        QVERIFY(f.page().saveButtonVisible && f.page().printingButtonVisible);
        QVERIFY(!f.page().qButtonVisible && !f.page().infoButtonVisible);
        QVERIFY(f.engine->busy().windowEnabled && !f.engine->busy().overlayVisible);
        QCOMPARE(f.cur(), 1);
        QCOMPARE(f.engine->examInfo().spSkinEdit2, QStringLiteral("3; "));
        const QString report = f.engine->questionDocument()->toPlainText();
        QVERIFY(report.startsWith(QStringLiteral("Уважаемый(ая)  Пользователь\nВаши результаты:")));
        QVERIFY(report.contains(QStringLiteral("Question 3.1")));
        QVERIFY(!report.contains(QStringLiteral("Question 3.2")));
        f.engine->BackAnClick();
        f.engine->ShowOtchetClick();
        QCOMPARE(f.engine->questionDocument()->toPlainText(), report);

        const QString path = f.folder.filePath(QStringLiteral("Otchet.RTF"));
        f.engine->SaveButtonClick(); // cancelled
        QCOMPARE(f.window.lastSaveRequest.title, QStringLiteral("Save file"));
        QCOMPARE(f.window.lastSaveRequest.proposedName, QStringLiteral("Otchet.RTF"));
        QVERIFY(!QFile::exists(path));
        f.window.saveAnswer = path;
        f.engine->SaveButtonClick();
        QCOMPARE(f.boxes.shown().last().text, QStringLiteral("Отчет сохранен ..."));
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray first = saved.readAll();
        saved.close();
        QVERIFY(first.startsWith("{\\rtf1"));
        f.engine->questionDocument()->setPlainText(QStringLiteral("changed"));
        f.boxes.setNextAnswer(MessageButton::No);
        f.engine->SaveButtonClick();
        QCOMPARE(f.boxes.shown().last().text, QStringLiteral("Файл уже существует. Заменить?"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), first);
        saved.close();
        f.window.saveAnswer = QStringLiteral("/etc/passwd/Otchet.RTF");
        f.engine->SaveButtonClick();
        QCOMPARE(f.boxes.shown().last().kind, MessageKind::Error);

        f.window.printError = QStringLiteral("printer on fire");
        f.engine->PrintingButtonClick();
        QCOMPARE(f.boxes.shown().last().text, QStringLiteral("printer on fire"));
        QCOMPARE(f.window.printedCharacters, f.engine->questionDocument()->characterCount());

        QVERIFY(QFile::remove(f.basePath));
        f.engine->ShowOtchetClick();
        QCOMPARE(f.boxes.shown().last().text, QStringLiteral("Нет файла с вопросами!!!"));
        QVERIFY(f.engine->busy().windowEnabled && !f.engine->busy().overlayVisible);
    }
};

QTEST_MAIN(RunEngineTest)
#include "tst_run_engine.moc"
