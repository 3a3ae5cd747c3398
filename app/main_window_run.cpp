// TForm1's side of the run: the run engine it owns, the window the engine
// works through, and the run state under its own names.
#include "app/literature_page.h"
#include "app/main_menu_page.h"
#include "app/main_window.h"
#include "app/progress_overlay.h"
#include "app/question_page.h"
#include "app/report_dialogs.h"
#include "app/report_printing.h"
#include "app/results_page.h"
#include "app/run_dialogs.h"
#include "engine/run_engine.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <QProgressBar>
#include <QRandomGenerator>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextEdit>
#include <QUrl>
#include <memory>

namespace korvel {

void TForm1::createRunEngine() {
    RunEnvironment run;
    run.archiver = &archiver_;
    run.boxes = environment_.boxes;
    run.effects = &effects_;
    run.settings = &live_;
    run.window = this;
    run.programFolder = programFolder_;
    run.random = environment_.random;
    if (!run.random) {
        auto generator = std::make_shared<QRandomGenerator>(
            quint32(QDateTime::currentMSecsSinceEpoch() & 0xFFFFFFFF));
        run.random = [generator](int low, int high) {
            return high <= low ? low : int(generator->bounded(low, high + 1));
        };
    }
    run.timeOfDay = environment_.timeOfDay;
    if (!run.timeOfDay)
        run.timeOfDay = [] { return QTime::currentTime(); };
    run.utcNow = environment_.utcNow;
    engine_ = std::make_unique<RunEngine>(run);

    questionPanel_->attach(*engine_);
    resultsPanel_->attach(*engine_);
    ticketChoice_->attach(*engine_);
    examInfo_->attach(*engine_);
    connect(engine_.get(), &RunEngine::changed, this, &TForm1::drawBusy);
    drawBusy();
}

const QString& TForm1::currentBasePath() const {
    return engine_->state().CurrentBasePath;
}
const ByteStream& TForm1::baseDescriptor() const {
    return engine_->state().BaseDescriptor;
}
int TForm1::ticketCount() const {
    return engine_->state().TicketCount;
}
int TForm1::questionsPerTicket() const {
    return engine_->state().QuestionsPerTicket;
}
const AnswerMatrix& TForm1::chosenAnswers() const {
    return engine_->state().ChosenAnswers;
}
const AnswerMatrix& TForm1::rightAnswers() const {
    return engine_->state().RightAnswers;
}
int TForm1::CurrentTicket() const {
    return engine_->state().CurrentTicket;
}
int TForm1::CurrentQuestion() const {
    return engine_->state().CurrentQuestion;
}
int TForm1::AnswerMode() const {
    return engine_->state().AnswerMode;
}
bool TForm1::AnalysisFlag() const {
    return engine_->state().AnalysisFlag;
}
QString TForm1::RunMode() const {
    return engine_->state().RunMode;
}
QList<bool> TForm1::ChosenTickets() const {
    return engine_->state().ChosenTickets;
}

void TForm1::Timer1Timer() {
    engine_->Timer1Timer();
}
void TForm1::Timer2Timer() {
    engine_->Timer2Timer();
}
void TForm1::Timer3Timer() {
    engine_->Timer3Timer();
}
void TForm1::Timer4Timer() {
    engine_->Timer4Timer();
}
bool TForm1::timerRunning(int n) const {
    return n >= 1 && n <= 4 && engine_->timer(n).isActive();
}

// The overlay MesShow over a window that takes no input while a question loads.
void TForm1::drawBusy() {
    const BusyState& busy = engine_->busy();
    if (mesShow_->gauge()->maximum() != busy.gaugeMaximum)
        mesShow_->gauge()->setMaximum(busy.gaugeMaximum);
    if (mesShow_->gauge()->value() != busy.gauge)
        mesShow_->gauge()->setValue(busy.gauge);
    if (mesShow_->isHidden() == busy.overlayVisible) {
        mesShow_->setVisible(busy.overlayVisible);
        if (busy.overlayVisible)
            mesShow_->raise();
    }
    if (isEnabled() == busy.windowEnabled)
        return;
    // Disabling the window takes the focus away; the keyboard gets it back.
    if (!busy.windowEnabled) {
        QWidget* focused = QApplication::focusWidget();
        focusBeforeBusy_ = focused && isAncestorOf(focused) ? focused : nullptr;
    }
    setEnabled(busy.windowEnabled);
    if (busy.windowEnabled && focusBeforeBusy_ && focusBeforeBusy_->isEnabled() &&
        focusBeforeBusy_->isVisible())
        focusBeforeBusy_->setFocus();
}

void TForm1::showRunPage(RunPage page) {
    switch (page) {
    case RunPage::MainMenu:
        showPage(mainPanel_);
        break;
    case RunPage::Question:
        showPage(questionPanel_);
        break;
    case RunPage::Results:
        showPage(resultsPanel_);
        break;
    case RunPage::Literature:
        showPage(literaturePanel_);
        break;
    }
}

void TForm1::processPendingMessages() {
    QApplication::processEvents();
}

void TForm1::execRunDialog(QDialog* dialog) {
    if (!environment_.runDialog) {
        dialog->exec();
        return;
    }
    dialog->show();
    environment_.runDialog(*dialog);
    if (dialog->isVisible())
        dialog->reject();
}

void TForm1::execTicketChoice() {
    execRunDialog(ticketChoice_);
}

void TForm1::execExamInfo() {
    execRunDialog(examInfo_);
}

void TForm1::layoutWindow() {
    FormResize();
}

void TForm1::focusQuestionText() {
    questionPanel_->text()->setFocus();
}

int TForm1::answerLineCount(int row, const QString& text) const {
    return questionPanel_->answerLineCount(row, text);
}

QSize TForm1::pictureArea() const {
    return questionPanel_->pictureArea();
}

QString TForm1::askSaveFileName(const SaveDialogRequest& request) {
    if (environment_.saveFileName)
        return environment_.saveFileName(request);
    return askFileNameInDialog(this, request);
}

QString TForm1::openLiterature(const QString& path, const QString& anchor) {
    return literaturePanel_->load(path, anchor, [this](RunEngine::ViewerStage stage, int percent) {
        engine_->ViewerProgress(stage, percent);
    });
}

void TForm1::spSkinButton5Click() {
    literaturePanel_->clear();
    showPage(questionPanel_);
    // The keys answer the question again.
    focusQuestionText();
}

QString TForm1::printDocument(QTextDocument& document) {
    QPrinter printer;
    printer.setDocName(QStringLiteral("OtcetPrint"));
    if (environment_.choosePrinter ? !environment_.choosePrinter(printer)
                                   : !choosePrinterInDialog(this, printer))
        return {};
    return printReport(document, printer);
}

} // namespace korvel
