#include "basestore/base_archive.h"
#include "engine/busy_scope.h"
#include "engine/grading.h"
#include "engine/report_file_saving.h"
#include "engine/run_engine.h"
#include "engine/run_window.h"
#include "platform/message_boxes.h"
#include "report/report_composition.h"

#include <QFileInfo>

namespace korvel {

void RunEngine::ShowOtchetClick() {
    playEffect(QStringLiteral("CLICK"));
    env_.window->showRunPage(RunPage::Question);
    {
        BusyScope busy(*this);
        busy_.gaugeMaximum = page_.redLabel + page_.buttonRemain + 3;
        busy_.gauge = 2;
        page_.buttonPanelVisible = false;
        setToolBar(true, true);
        EnabledWatch();
        if (!QFileInfo::exists(state_.CurrentBasePath)) {
            env_.boxes->plain(QStringLiteral("Нет файла с вопросами!!!"));
            return;
        }
        letMessagesBeProcessed();
        questionDocument_.clear();
        ++page_.textGeneration;
        if (state_.firstChosen() == 0)
            return;

        ReportInput input;
        input.examineeName = examInfo_.spSkinEdit1;
        for (int t = 1; t <= state_.TicketCount; ++t) {
            if (state_.isChosen(t))
                input.chosenTickets.append(t);
        }
        input.questionsPerTicket = state_.QuestionsPerTicket;
        input.remain = page_.buttonRemain;
        input.green = page_.greenLabel;
        input.red = page_.redLabel;
        input.analizStr = results_.analizStr;
        input.percent = percentage(input.green, input.remain + input.green + input.red);
        input.good = isGoodGrade(gradeFor(input.percent));
        input.chosenCell = [this](int t, int q) { return state_.ChosenAnswers.cell(t, q); };
        input.rightCell = [this](int t, int q) { return state_.RightAnswers.cell(t, q); };
        input.passedOver = [this](int t, int q) { return state_.passedOver.contains({t, q}); };
        input.basePath = state_.CurrentBasePath;
        input.archiver = env_.archiver;
        examInfo_.spSkinEdit2 = ticketListText(input.chosenTickets);
        state_.CurrentQuestion = 1;

        ReportHooks hooks;
        hooks.progress = [this](int value, int maximum) {
            busy_.gauge = value;
            busy_.gaugeMaximum = maximum;
        };
        hooks.fileIoError = [this] {
            pendingMessages_.append({true, QStringLiteral("File IO error")});
        };
        try {
            composeReport(questionDocument_, input, hooks);
        } catch (const ArchiveError& error) {
            pendingMessages_.append(
                {false, QStringLiteral("Отчет составлен не полностью: не удалось прочитать "
                                       "текст вопроса.\n%1")
                            .arg(QString::fromLocal8Bit(error.what()))});
        }
        letMessagesBeProcessed();
        ++page_.textGeneration;
    }
    showPendingMessages();
}

void RunEngine::SaveButtonClick() {
    playEffect(QStringLiteral("CLICK"));
    saveReportAs(
        questionDocument_, env_.programFolder,
        [this](const SaveDialogRequest& request) { return env_.window->askSaveFileName(request); },
        *env_.boxes);
}

void RunEngine::PrintingButtonClick() {
    playEffect(QStringLiteral("CLICK"));
    const QString error = env_.window->printDocument(questionDocument_);
    if (!error.isEmpty())
        env_.boxes->error(error);
}

} // namespace korvel
