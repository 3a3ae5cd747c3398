#include "engine/run_engine.h"
#include "engine/run_window.h"
#include "settings/live_settings.h"

namespace korvel {

void RunEngine::rebuildTicketList() {
    state_.ChosenTickets = QList<bool>(qMax(0, state_.TicketCount), false);
}

void RunEngine::Frame31spSkinButton1Click() {
    playEffect(QStringLiteral("CLICK"));
    MemePosBack();
    state_.spSkinButton12ShowHint = true;
    state_.spSkinButton10ShowHint = false;
    page_.qButtonVisible = env_.settings->pEkzHelp();
    page_.infoButtonVisible = env_.settings->pEkzInfo();
    rebuildTicketList();
    ticketChoice_.currentRow = 0;
    ticketChoice_.open = true;
    emitChanged();
    env_.window->execTicketChoice();
    if (ticketChoice_.open) {
        ticketChoice_.open = false;
        emitChanged();
    }
}

void RunEngine::setTicketChecked(int row, bool checked) {
    if (row < 0 || row >= state_.ChosenTickets.size())
        return;
    state_.ChosenTickets[row] = checked;
    emitChanged();
}

void RunEngine::setTicketRow(int row) {
    ticketChoice_.currentRow = row;
    emitChanged();
}

void RunEngine::TicketsAllClick() {
    state_.ChosenTickets.fill(true);
    emitChanged();
}

void RunEngine::TicketsClearClick() {
    state_.ChosenTickets.fill(false);
    emitChanged();
}

void RunEngine::TicketsInvertClick() {
    for (bool& checked : state_.ChosenTickets)
        checked = !checked;
    emitChanged();
}

void RunEngine::TicketsChooseClick() {
    EnabledWatch();
    if (state_.firstChosen() == 0 || !ticketChoice_.open)
        return;
    prepareRunStart();
    recordRunStart(RecordedRunKind::Preparation, state_.chosenCount() * state_.QuestionsPerTicket);
    env_.window->showRunPage(RunPage::Question);
    state_.CurrentTicket = state_.firstChosen();
    clearChosenOfCheckedTickets();
    page_.buttonBilet = state_.CurrentTicket;
    ShowZamtor();
    ButtonsEnable();
    page_.buttonRemain = state_.chosenCount() * state_.QuestionsPerTicket;
    page_.redLabel = 0;
    page_.greenLabel = 0;
    env_.window->focusQuestionText();
    state_.RunMode = QStringLiteral("Test");
    ticketChoice_.open = false;
    emitChanged();
}

void RunEngine::TicketsCancelClick() {
    ticketChoice_.open = false;
    emitChanged();
}

void RunEngine::prepareRunStart() {
    // A lamp interval left over from the run before would count the new run
    // down, and an old answer listing would cover the question text.
    endPendingLampInterval();
    page_.memo2Visible = false;
    page_.memo2Text.clear();
}

void RunEngine::clearChosenOfCheckedTickets() {
    for (int t = 1; t <= state_.TicketCount; ++t) {
        if (!state_.isChosen(t))
            continue;
        state_.CurrentQuestion = 1;
        for (int q = 1; q <= state_.QuestionsPerTicket; ++q)
            state_.ChosenAnswers.clearCell(t, q);
    }
}

void RunEngine::spSkinButton12Click() {
    playEffect(QStringLiteral("CLICK"));
    MemePosBack();
    state_.spSkinButton12ShowHint = false;
    state_.spSkinButton10ShowHint = true;
    rebuildTicketList();
    env_.settings->lowerNumBilToTicketCount();
    const int wanted = qMin(env_.settings->numBil(), state_.TicketCount);
    // Drawing among the tickets not yet drawn gives every set of `wanted`
    // tickets the same chance, as drawing again on a repeat would, and ends
    // after `wanted` draws whatever the random source does.
    QList<int> undrawn;
    for (int t = 1; t <= state_.TicketCount; ++t)
        undrawn.append(t);
    for (int k = 0; k < wanted; ++k) {
        const int last = int(undrawn.size()) - 1;
        const int pick = qBound(0, env_.random(0, last), last);
        state_.ChosenTickets[undrawn.takeAt(pick) - 1] = true;
    }
    examInfo_.spSkinEdit2.clear();
    for (int t = 1; t <= state_.TicketCount; ++t) {
        if (state_.isChosen(t))
            examInfo_.spSkinEdit2 += QString::number(t) + QStringLiteral("; ");
    }
    ticketChoice_.currentRow = 0;
    examInfo_.open = true;
    emitChanged();
    env_.window->execExamInfo();
    if (examInfo_.open) {
        examInfo_.open = false;
        emitChanged();
    }
}

void RunEngine::setExamineeName(const QString& name) {
    examInfo_.spSkinEdit1 = name;
    emitChanged();
}

void RunEngine::ExamOkClick() {
    if (!examInfo_.open)
        return;
    DisabledWatch();
    prepareRunStart();
    recordRunStart(RecordedRunKind::Exam, state_.chosenCount() * state_.QuestionsPerTicket);
    env_.window->showRunPage(RunPage::Question);
    AfterClick();
    env_.window->focusQuestionText();
    state_.RunMode = QStringLiteral("Ekz");
    examInfo_.open = false;
    emitChanged();
}

void RunEngine::ExamCancelClick() {
    examInfo_.open = false;
    emitChanged();
}

void RunEngine::AfterClick() {
    if (env_.settings->timeEkz()) {
        page_.timeGoVisible = true;
        page_.timeGoValue = 0;
        page_.timeGoMaximum = env_.settings->timeEkzSek() * 60;
        timer1_.start();
    }
    page_.qButtonVisible = false;
    page_.infoButtonVisible = env_.settings->ekzInfo();
    if (state_.firstChosen() == 0) {
        emitChanged();
        return;
    }
    state_.CurrentTicket = state_.firstChosen();
    clearChosenOfCheckedTickets();
    ShowZamtor();
    ButtonsEnable();
    page_.buttonRemain = state_.chosenCount() * state_.QuestionsPerTicket;
    page_.buttonVopros = state_.CurrentQuestion;
    page_.buttonBilet = state_.CurrentTicket;
    page_.greenLabel = 0;
    page_.redLabel = 0;
    emitChanged();
}

} // namespace korvel
