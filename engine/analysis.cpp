#include "engine/navigation.h"
#include "engine/run_engine.h"
#include "engine/run_window.h"
#include "platform/message_boxes.h"

namespace korvel {

void RunEngine::Frame61spSkinButton1Click() {
    playEffect(QStringLiteral("CLICK"));
    MemePosBack();
    env_.window->showRunPage(RunPage::Question);
    setToolBar(true, false);
    page_.buttonPanelVisible = true;
    EnabledWatch();
    state_.AnalysisFlag = true;
    ButtonsDisable();
    state_.CurrentQuestion = 1;
    ShowZamtor();
    memocolor();
}

void RunEngine::WorkErrorClick() {
    playEffect(QStringLiteral("CLICK"));
    if (state_.firstChosen() == 0)
        return;
    state_.CurrentTicket = state_.firstChosen();
    int reopened = 0;
    for (int t = 1; t <= state_.TicketCount; ++t) {
        if (!state_.isChosen(t))
            continue;
        state_.CurrentQuestion = 1;
        for (int q = 1; q <= state_.QuestionsPerTicket; ++q) {
            if (isRight(state_.ChosenAnswers, state_.RightAnswers, t, q))
                continue;
            state_.ChosenAnswers.clearCell(t, q);
            ++reopened;
        }
    }
    if (reopened == 0) {
        env_.boxes->ask(MessageKind::Confirmation,
                        QStringLiteral("Вы на все вопросы ответили правильно !"),
                        {MessageButton::Ok});
        emitChanged();
        return;
    }
    prepareRunStart();
    recordRunStart(RecordedRunKind::WorkOnErrors, reopened);
    MemePosBack();
    env_.window->showRunPage(RunPage::Question);
    results_.showOtchetEnabled = false;
    setToolBar(false, false);
    page_.buttonPanelVisible = true;
    EnabledWatch();
    state_.AnalysisFlag = false;
    page_.buttonBilet = state_.CurrentTicket;
    ButtonsEnable();
    for (int t = state_.CurrentTicket; t <= state_.TicketCount; ++t) {
        const int q = state_.isChosen(t) ? firstUnansweredFrom(state_, t, 1) : 0;
        if (q != 0) {
            state_.CurrentTicket = t;
            state_.CurrentQuestion = q;
            break;
        }
    }
    page_.buttonBilet = state_.CurrentTicket;
    page_.buttonVopros = state_.CurrentQuestion;
    page_.buttonRemain = reopened;
    page_.redLabel = 0;
    page_.greenLabel = 0;
    env_.window->focusQuestionText();
    state_.RunMode = QStringLiteral("Test");
    ShowZamtor();
}

} // namespace korvel
