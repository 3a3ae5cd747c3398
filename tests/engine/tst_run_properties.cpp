// Thousands of random action sequences through whole runs: answers, switch
// changes, navigation, timer ticks, main-menu returns and time-outs. After
// every step the run's invariants must hold.
#include "engine/grading.h"
#include "engine_fixture.h"

using namespace korvel;

namespace {
TestBaseBuilder propertyBase() {
    TestBaseBuilder base;
    base.setCounts(3, 4);
    for (int t = 1; t <= 3; ++t) {
        for (int q = 1; q <= 4; ++q) {
            if ((t + q) % 3 == 0)
                base.addQuestion(t, q, "Several", multipleQuestion({1, q % 4 + 1}, 4));
            else
                base.addQuestion(t, q, "One", standardQuestion(q % 3 + 1, 3));
        }
    }
    return base;
}

class RandomRun {
public:
    RandomRun(EngineFixture& fixture, quint32 seed)
        : f(fixture)
        , dice(seed) {}

    // One action a user or a timer could take now.
    void act() {
        const RunPage page = f.window.page;
        const int pick = int(dice.bounded(100));
        if (page == RunPage::MainMenu) {
            if (pick < 50)
                startPreparation();
            else
                startExam();
        } else if (page == RunPage::Results) {
            if (pick < 70) {
                f.boxes.setNextAnswer(MessageButton::Yes);
                f.engine->spSkinButton15Click();
            } else {
                fireTimers();
            }
        } else {
            actOnQuestionPage(pick);
        }
    }

    void check(int stepNumber) const {
        const QString where = QStringLiteral("step %1").arg(stepNumber);
        const QuestionPageState& page = f.page();
        const RunState& state = f.state();
        const bool red = f.engine->timer(2).isActive();
        const bool green = f.engine->timer(3).isActive();
        QVERIFY2(!(red && green), qPrintable(where));
        QCOMPARE(page.redLampLit, red);
        QCOMPARE(page.greenLampLit, green);
        if (red || green)
            QVERIFY2(!page.answerControlsEnabled, qPrintable(where));
        QVERIFY(f.engine->busy().windowEnabled);
        QVERIFY(!f.engine->busy().overlayVisible);
        QVERIFY(!state.AnalysisFlag);
        if (runTotal == 0)
            return;
        QCOMPARE(page.greenLabel + page.redLabel + page.buttonRemain,
                 runTotal + (red || green ? 1 : 0));
        QVERIFY(page.buttonRemain >= 0);
        int answered = 0;
        for (int t = 1; t <= state.TicketCount; ++t) {
            for (int q = 1; q <= state.QuestionsPerTicket && state.isChosen(t); ++q)
                answered += state.ChosenAnswers.isAnswered(t, q) ? 1 : 0;
        }
        QCOMPARE(answered, page.greenLabel + page.redLabel);
        QVERIFY2(f.engine->results().loserGeneration - gradesAtStart <= 1, qPrintable(where));
        if (f.window.page == RunPage::Results) {
            // Graded on the run's own counts, with no answer still to count off.
            QVERIFY2(!red && !green, qPrintable(where));
            const int grade = gradeFor(percentage(page.greenLabel, runTotal));
            QVERIFY2(f.engine->results().analizStr.endsWith(QString::number(grade)),
                     qPrintable(where));
        }
        if (f.window.page == RunPage::Question) {
            QVERIFY(state.CurrentTicket >= 1 && state.CurrentTicket <= state.TicketCount);
            QVERIFY(state.CurrentQuestion >= 1 &&
                    state.CurrentQuestion <= state.QuestionsPerTicket);
            QVERIFY(state.isChosen(state.CurrentTicket));
            QCOMPARE(page.buttonVopros, state.CurrentQuestion);
            QCOMPARE(page.buttonBilet, state.CurrentTicket);
            if (state.AnswerMode >= 1)
                QVERIFY(state.RightAnswers.flag(state.CurrentTicket, state.CurrentQuestion,
                                                state.AnswerMode));
        }
    }

    int runs = 0;

private:
    void startPreparation() {
        QList<int> tickets;
        for (int t = 1; t <= 3; ++t) {
            if (dice.bounded(2))
                tickets.append(t);
        }
        f.window.onTicketChoice = [this, tickets] {
            for (int t : tickets)
                f.engine->setTicketChecked(t - 1, true);
            f.engine->TicketsChooseClick();
            if (tickets.isEmpty())
                f.engine->TicketsCancelClick();
        };
        f.engine->Frame31spSkinButton1Click();
        begin(int(tickets.size()));
    }

    void startExam() {
        f.settings.setNumBil(1 + int(dice.bounded(3)));
        f.settings.setTimeEkz(dice.bounded(2));
        const bool ok = dice.bounded(5) != 0;
        f.window.onExamInfo = [this, ok] {
            if (ok)
                f.engine->ExamOkClick();
            else
                f.engine->ExamCancelClick();
        };
        f.engine->spSkinButton12Click();
        begin(ok ? f.state().chosenCount() : 0);
    }

    // A start that was cancelled has still rebuilt the ticket list: the
    // counts of the run before no longer relate to it.
    void begin(int tickets) {
        runTotal = tickets * f.state().QuestionsPerTicket;
        runs += tickets > 0 ? 1 : 0;
        gradesAtStart = f.engine->results().loserGeneration;
    }

    // Any running timer may come first, as on a busy message loop.
    void fireTimers() {
        QList<int> running;
        for (int n = 1; n <= 4; ++n) {
            if (f.engine->timer(n).isActive())
                running.append(n);
        }
        if (running.isEmpty())
            return;
        switch (running.at(int(dice.bounded(qsizetype(running.size()))))) {
        case 1:
            for (int k = 0; k < 15 && f.engine->timer(1).isActive(); ++k)
                f.engine->Timer1Timer();
            break;
        case 2:
            f.engine->Timer2Timer();
            break;
        case 3:
            f.engine->Timer3Timer();
            break;
        default:
            f.engine->Timer4Timer();
        }
    }

    void actOnQuestionPage(int pick) {
        const int n = 1 + int(dice.bounded(5));
        const AnswerRowState& row = f.row(n);
        const bool enabled = f.page().answerControlsEnabled;
        if (pick < 25) {
            if (enabled && row.buttonVisible && row.memoVisible) {
                f.engine->TestButMouseEnter(n);
                f.engine->TestButMouseDown(n);
                f.engine->TestButClick(n);
            }
        } else if (pick < 38) {
            if (enabled && row.switchPanelVisible)
                f.engine->setSwitch(n, !row.switchOn);
        } else if (pick < 45) {
            if (enabled)
                f.engine->ButtonTestChoisClick();
        } else if (pick < 55) {
            f.boxes.setNextAnswer(dice.bounded(2) ? MessageButton::Yes : MessageButton::No);
            switch (dice.bounded(4)) {
            case 0:
                f.engine->NextButtonClick();
                break;
            case 1:
                f.engine->BackButtonsClick();
                break;
            case 2:
                f.engine->NextBiletClick();
                break;
            default:
                f.engine->PrevBiletClick();
            }
        } else if (pick < 85) {
            fireTimers();
        } else if (pick < 90) {
            f.engine->QButtonClick();
        } else if (pick < 96) {
            f.engine->TestButMouseLeave(n);
        } else {
            f.boxes.setNextAnswer(dice.bounded(3) ? MessageButton::No : MessageButton::Yes);
            f.engine->spSkinButton8Click();
        }
        // Answers the scripted boxes did not use are dropped.
        while (f.boxes.shown().size() > 50)
            f.boxes.clear();
    }

    EngineFixture& f;
    QRandomGenerator dice;
    int runTotal = 0;
    int gradesAtStart = 0;
};
} // namespace

class RunPropertiesTest : public QObject {
    Q_OBJECT
private slots:
    void invariantsHoldOverRandomRuns() {
        EngineFixture f(propertyBase());
        f.settings.setTimeEkzSek(1);
        f.settings.setTusPod(true);
        f.settings.setTusEkz(true);
        int runs = 0;
        for (quint32 seed = 1; seed <= 1500; ++seed) {
            RandomRun run(f, seed);
            for (int k = 0; k < 120; ++k) {
                run.act();
                run.check(k);
                if (QTest::currentTestFailed()) {
                    qWarning("sequence %u failed at step %d", seed, k);
                    return;
                }
            }
            runs += run.runs;
        }
        QVERIFY(runs > 1500);
    }
};

QTEST_MAIN(RunPropertiesTest)
#include "tst_run_properties.moc"
