#include "engine/answering.h"

#include "engine/run_engine.h"
#include "engine/run_window.h"
#include "platform/message_boxes.h"

namespace korvel {

namespace {
bool isRow(int n) {
    return n >= 1 && n <= AnswerRows;
}
} // namespace

void RunEngine::TestButMouseEnter(int n) {
    if (!isRow(n))
        return;
    playEffect(QStringLiteral("EN"));
    AnswerRowState& row = page_.rows[size_t(n - 1)];
    row.color = row.color == PointerColorA ? PointerColorB : colorSetting(5);
    emitChanged();
}

void RunEngine::TestButMouseLeave(int n) {
    if (!isRow(n))
        return;
    AnswerRowState& row = page_.rows[size_t(n - 1)];
    row.color = row.color == PointerColorA ? PointerColorB : White;
    memocolor();
}

void RunEngine::TestButMouseDown(int n) {
    if (!isRow(n))
        return;
    page_.rows[size_t(n - 1)].color = colorSetting(5);
    emitChanged();
}

void RunEngine::spSkinPanelMouseEnter(int n) {
    if (!isRow(n))
        return;
    page_.rows[size_t(n - 1)].switchPanelFlat = true;
    emitChanged();
}

void RunEngine::spSkinPanelMouseLeave(int n) {
    if (!isRow(n))
        return;
    page_.rows[size_t(n - 1)].switchPanelFlat = false;
    emitChanged();
}

void RunEngine::TestButClick(int n) {
    // Only an answer button that can be pressed answers: enabled, shown, and
    // the answer the user activated, whatever colour its box has.
    if (!isRow(n) || !page_.answerControlsEnabled || !page_.rows[size_t(n - 1)].buttonVisible ||
        !page_.rows[size_t(n - 1)].memoVisible)
        return;
    ButtonsDisable();
    const int t = state_.CurrentTicket;
    const int q = state_.CurrentQuestion;
    state_.ChosenAnswers.setFlag(t, q, n, true);
    const bool right = state_.RightAnswers.flag(t, q, n);
    page_.rows[size_t(n - 1)].color = right ? colorSetting(1) : colorSetting(2);
    recordAnswer(right);
    startLampInterval(right);
}

void RunEngine::startLampInterval(bool right) {
    if (right) {
        page_.greenLampLit = true;
        playEffect(QStringLiteral("GOOD"));
        timer3_.start();
        ++page_.greenLabel;
    } else {
        page_.redLampLit = true;
        playEffect(QStringLiteral("BAD"));
        timer2_.start();
        ++page_.redLabel;
    }
    emitChanged();
}

void RunEngine::setSwitch(int n, bool on) {
    if (!isRow(n) || !page_.answerControlsEnabled || !page_.rows[size_t(n - 1)].switchPanelVisible)
        return;
    AnswerRowState& row = page_.rows[size_t(n - 1)];
    if (row.switchOn == on)
        return;
    row.switchOn = on;
    spSkinSwitch1Change();
}

void RunEngine::spSkinSwitch1Change() {
    for (AnswerRowState& row : page_.rows) {
        if (!row.switchOn && row.color == colorSetting(4))
            row.color = colorSetting(5);
        if (row.switchOn && !state_.AnalysisFlag)
            row.color = colorSetting(4);
    }
    emitChanged();
}

void RunEngine::ButtonTestChoisClick() {
    if (!page_.answerControlsEnabled)
        return;
    const int t = state_.CurrentTicket;
    const int q = state_.CurrentQuestion;
    bool any = false;
    for (int n = 1; n <= AnswerRows; ++n) {
        if (page_.rows[size_t(n - 1)].switchOn) {
            state_.ChosenAnswers.setFlag(t, q, n, true);
            any = true;
        }
    }
    if (!any) {
        env_.boxes->inform(QStringLiteral("Сделайте выбор пожалуйста!"));
        return;
    }
    ButtonsDisable();
    const AnswerColours colours = this->colours();
    for (int n = 1; n <= AnswerRows; ++n) {
        AnswerRowState& row = page_.rows[size_t(n - 1)];
        row.color = confirmedColour(state_.ChosenAnswers.flag(t, q, n),
                                    state_.RightAnswers.flag(t, q, n), row.color, colours);
    }
    const bool right = isRight(state_.ChosenAnswers, state_.RightAnswers, t, q);
    recordAnswer(right);
    startLampInterval(right);
}

void RunEngine::Timer2Timer() {
    if (timer2_.isActive())
        endLampInterval(timer2_, page_.redLampLit);
}

void RunEngine::Timer3Timer() {
    if (timer3_.isActive())
        endLampInterval(timer3_, page_.greenLampLit);
}

void RunEngine::switchLampOff(QTimer& timer, bool& lamp) {
    lamp = false;
    timer.stop();
    --page_.buttonRemain;
}

void RunEngine::endLampInterval(QTimer& timer, bool& lamp) {
    switchLampOff(timer, lamp);
    if (page_.buttonRemain <= 0) {
        endRun(RunEnding::LastAnswer);
        return;
    }
    NextButtonClick();
    ButtonsEnable();
}

void RunEngine::endPendingLampInterval() {
    if (timer2_.isActive())
        switchLampOff(timer2_, page_.redLampLit);
    if (timer3_.isActive())
        switchLampOff(timer3_, page_.greenLampLit);
}

void RunEngine::endRun(RunEnding ending) {
    page_.timeGoVisible = false;
    timer1_.stop();
    env_.window->showRunPage(RunPage::Results);
    AnalizeEnter();
    recordRunEnd(ending);
}

void RunEngine::QButtonClick() {
    playEffect(QStringLiteral("CLICK"));
    if (state_.AnalysisFlag)
        return;
    for (int n = 1; n <= AnswerRows; ++n) {
        if (state_.RightAnswers.flag(state_.CurrentTicket, state_.CurrentQuestion, n))
            page_.rows[size_t(n - 1)].color = colorSetting(1);
    }
    emitChanged();
}

void RunEngine::memocolor() {
    colourRows(page_.rows, state_.ChosenAnswers.cell(state_.CurrentTicket, state_.CurrentQuestion),
               state_.RightAnswers.cell(state_.CurrentTicket, state_.CurrentQuestion),
               state_.AnalysisFlag, colours());
    emitChanged();
}

} // namespace korvel
