#include "engine/run_engine.h"

#include "engine/run_window.h"
#include "platform/message_boxes.h"
#include "platform/play_effect.h"
#include "settings/live_settings.h"

namespace korvel {

RunEngine::RunEngine(const RunEnvironment& environment, QObject* parent)
    : QObject(parent)
    , env_(environment) {
    questionDocument_.setUndoRedoEnabled(false);
    for (int n = 1; n <= AnswerRows; ++n)
        page_.rows[size_t(n - 1)].top = rowHomeTop(n);
    for (QTimer* timer : {&timer1_, &timer2_, &timer3_, &timer4_})
        timer->setInterval(1000);
    connect(&timer1_, &QTimer::timeout, this, &RunEngine::Timer1Timer);
    connect(&timer2_, &QTimer::timeout, this, &RunEngine::Timer2Timer);
    connect(&timer3_, &QTimer::timeout, this, &RunEngine::Timer3Timer);
    connect(&timer4_, &QTimer::timeout, this, &RunEngine::Timer4Timer);
}

RunEngine::~RunEngine() = default;

const QTimer& RunEngine::timer(int n) const {
    switch (n) {
    case 1:
        return timer1_;
    case 2:
        return timer2_;
    case 3:
        return timer3_;
    default:
        return timer4_;
    }
}

void RunEngine::openBase(const QString& path, const ByteStream& descriptor, int tickets,
                         int questionsPerTicket) {
    state_.CurrentBasePath = path;
    state_.BaseDescriptor = descriptor;
    baseSha256_.clear();
    state_.TicketCount = tickets;
    state_.QuestionsPerTicket = questionsPerTicket;
    state_.ChosenAnswers = AnswerMatrix(tickets, questionsPerTicket);
    state_.RightAnswers = AnswerMatrix(tickets, questionsPerTicket);
    emitChanged();
}

void RunEngine::emitChanged() {
    emit changed();
}

// Messages of a busy operation wait until the window takes input again.
void RunEngine::showPendingMessages() {
    for (const PendingMessage& message : std::exchange(pendingMessages_, {})) {
        if (message.plain)
            env_.boxes->plain(message.text);
        else
            env_.boxes->error(message.text);
    }
}

void RunEngine::playEffect(const QString& name) {
    env_.effects->PlayEffect(name);
}

int RunEngine::colorSetting(int row) const {
    return env_.settings->color(row);
}

AnswerColours RunEngine::colours() const {
    return {colorSetting(1), colorSetting(2), colorSetting(3), colorSetting(4), colorSetting(5)};
}

void RunEngine::setToolBar(bool backAn, bool reportView) {
    page_.backAnVisible = backAn;
    page_.qButtonVisible = !reportView;
    page_.infoButtonVisible = !reportView;
    page_.printingButtonVisible = reportView;
    page_.saveButtonVisible = reportView;
}

void RunEngine::ButtonsDisable() {
    page_.answerControlsEnabled = false;
    emitChanged();
}

void RunEngine::ButtonsEnable() {
    page_.answerControlsEnabled = true;
    emitChanged();
}

void RunEngine::step(int amount) {
    busy_.gauge = gaugeAfter(busy_.gauge, amount);
}

void RunEngine::letMessagesBeProcessed() {
    emitChanged();
    env_.window->processPendingMessages();
}

} // namespace korvel
