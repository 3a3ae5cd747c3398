#include "engine/navigation.h"

#include "engine/run_engine.h"
#include "engine/run_window.h"
#include "platform/message_boxes.h"

namespace korvel {

void RunEngine::NextButtonClick() {
    if (state_.AnalysisFlag)
        questionStepAnalysis(+1);
    else
        questionStepAnswering(+1);
}

void RunEngine::BackButtonsClick() {
    if (state_.AnalysisFlag)
        questionStepAnalysis(-1);
    else
        questionStepAnswering(-1);
}

void RunEngine::NextBiletClick() {
    if (state_.AnalysisFlag)
        ticketStepAnalysis(+1);
    else
        ticketStepAnswering(+1);
}

void RunEngine::PrevBiletClick() {
    if (state_.AnalysisFlag)
        ticketStepAnalysis(-1);
    else
        ticketStepAnswering(-1);
}

void RunEngine::questionStepAnswering(int direction) {
    const int count = state_.QuestionsPerTicket;
    const int start = state_.CurrentQuestion;
    for (int k = 0; k < count; ++k) {
        state_.CurrentQuestion = wrapped(state_.CurrentQuestion, direction, count);
        if (!state_.ChosenAnswers.isAnswered(state_.CurrentTicket, state_.CurrentQuestion)) {
            ShowZamtor();
            return;
        }
        if (state_.CurrentQuestion == start)
            break;
    }
    // Every question of this ticket is answered: on to the next ticket.
    state_.CurrentQuestion = 1;
    const int shownTicket = page_.buttonBilet;
    ticketStepAnswering(direction);
    if (page_.buttonBilet == shownTicket)
        return;
    state_.CurrentQuestion = direction > 0
                                 ? firstUnansweredFrom(state_, state_.CurrentTicket, 1)
                                 : lastUnansweredFrom(state_, state_.CurrentTicket, count);
    ShowZamtor();
}

void RunEngine::ticketStepAnswering(int direction) {
    const int ticket = searchTicket(state_, state_.CurrentTicket, direction);
    if (ticket == 0) {
        giveUp();
        return;
    }
    state_.CurrentTicket = ticket;
    state_.CurrentQuestion = firstUnansweredFrom(state_, ticket, state_.CurrentQuestion);
    page_.buttonBilet = state_.CurrentTicket;
    page_.buttonVopros = state_.CurrentQuestion;
    ShowZamtor();
}

void RunEngine::giveUp() {
    // The cursor stays on the question shown.
    state_.CurrentQuestion = page_.buttonVopros;
    page_.memo2Visible = true;
    page_.memo2Text = answerListing(state_);
    emitChanged();
    spSkinButton8Click();
}

void RunEngine::questionStepAnalysis(int direction) {
    const int count = state_.QuestionsPerTicket;
    state_.CurrentQuestion += direction;
    if (state_.CurrentQuestion > count || state_.CurrentQuestion < 1) {
        state_.CurrentQuestion = direction > 0 ? 1 : count;
        ticketStepAnalysis(direction);
        return;
    }
    ShowZamtor();
    memocolor();
}

void RunEngine::ticketStepAnalysis(int direction) {
    state_.CurrentTicket = nextChosenTicket(state_, state_.CurrentTicket, direction);
    page_.buttonBilet = state_.CurrentTicket;
    page_.buttonVopros = state_.CurrentQuestion;
    ShowZamtor();
    memocolor();
}

void RunEngine::spSkinButton8Click() {
    playEffect(QStringLiteral("CLICK"));
    if (env_.boxes->ask(MessageKind::Confirmation,
                        QStringLiteral("Вы действительно хотите выйте из Теста?"),
                        {MessageButton::Yes, MessageButton::No}) != MessageButton::Yes)
        return;
    recordLeaving();
    state_.spSkinButton12ShowHint = true;
    state_.spSkinButton10ShowHint = true;
    results_.showOtchetEnabled = true;
    setToolBar(false, false);
    page_.buttonPanelVisible = true;
    page_.timeGoVisible = false;
    timer1_.stop();
    env_.window->showRunPage(RunPage::MainMenu);
    state_.AnalysisFlag = false;
    state_.RunMode.clear();
    emitChanged();
}

void RunEngine::spSkinButton15Click() {
    playEffect(QStringLiteral("CLICK"));
    spSkinButton8Click();
}

void RunEngine::BackAnClick() {
    playEffect(QStringLiteral("CLICK"));
    env_.window->showRunPage(RunPage::Results);
    setToolBar(false, false);
    emitChanged();
}

} // namespace korvel
