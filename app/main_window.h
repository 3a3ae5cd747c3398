#pragma once

#include "app/shell_environment.h"
#include "basestore/base_archive.h"
#include "basestore/byte_stream.h"
#include "engine/answer_matrix.h"
#include "engine/run_window.h"
#include "platform/play_effect.h"
#include "settings/live_settings.h"

#include <QPointer>
#include <QSize>
#include <QWidget>
#include <memory>

class QDialog;
class QPushButton;

namespace korvel {

class AboutWindow;
class ExamInfoDialog;
class HintWrapper;
class JournalSession;
class LiteraturePage;
class MainMenuPage;
class OpenBasePage;
class ProgressOverlay;
class QuestionPage;
class ResultsPage;
class RightClickFilter;
class RunEngine;
class SettingsPage;
class SplashWindow;
class TicketChoiceDialog;
struct OpenedBase;
struct StoredRun;

// The main window: owns every page, the live settings and the run engine
// (with the open base and the run state), and creates the other windows of
// the program. It is the window the run engine works through.
class TForm1 final : public QWidget, private RunWindow {
    Q_OBJECT
public:
    // The frame the layout formulas take the outer size to have around the
    // client area: W = client width + 13, H = client height + 35.
    static constexpr int FrameWidth = 13;
    static constexpr int FrameHeight = 35;
    static constexpr QSize MinimumOuterSize{800, 600};
    static constexpr QSize DesignClientSize{780, 591};

    explicit TForm1(const ShellEnvironment& environment, QWidget* parent = nullptr);
    ~TForm1() override;

    // Pages and windows.
    OpenBasePage* openBasePage() const { return openBasePanel_; }
    MainMenuPage* mainMenuPage() const { return mainPanel_; }
    QuestionPage* questionPage() const { return questionPanel_; }
    LiteraturePage* literaturePage() const { return literaturePanel_; }
    ResultsPage* resultsPage() const { return resultsPanel_; }
    SettingsPage* settingsPage() const { return settingsPanel_; }
    ProgressOverlay* progressOverlay() const { return mesShow_; }
    SplashWindow* splash() const { return splash_; }
    TicketChoiceDialog* ticketChoice() const { return ticketChoice_; }
    ExamInfoDialog* examInfo() const { return examInfo_; }
    AboutWindow* about() const { return about_; }

    LiveSettings& liveSettings() { return live_; }
    SoundEffects& effects() { return effects_; }
    const QString& programFolder() const { return programFolder_; }

    // The run: the open base, the run state and the question loop's handlers.
    RunEngine& runEngine() { return *engine_; }
    const RunEngine& runEngine() const { return *engine_; }

    // The open base.
    const QString& currentBasePath() const;
    const ByteStream& baseDescriptor() const;
    int ticketCount() const;
    int questionsPerTicket() const;
    const AnswerMatrix& chosenAnswers() const;
    const AnswerMatrix& rightAnswers() const;

    // The run state under its own names.
    int CurrentTicket() const;
    int CurrentQuestion() const;
    int AnswerMode() const;
    bool AnalysisFlag() const;
    QString RunMode() const;
    QList<bool> ChosenTickets() const;

    // The four timers: Timer1 countdown, Timer2 red lamp, Timer3 green lamp,
    // Timer4 clock. Their handlers run on the timers' ticks or when called.
    void Timer1Timer();
    void Timer2Timer();
    void Timer3Timer();
    void Timer4Timer();
    bool timerRunning(int n) const;
    // False while the open base's descriptor failed: no run may start on it.
    bool baseUsable() const { return baseUsable_; }
    Archiver& archiver() { return archiver_; }

    // The outer size W x H of the layout formulas.
    QSize outerSize() const;

    // Handlers.
    void PanelVisible();
    void showPage(QWidget* page);
    void FormResize();
    void spSkinSpeedButton1Click(); // catalogue build
    void SampleButtonClick();       // base opening
    void spSkinButton2Click();      // "Ok" on the base list
    void ReloadClick();
    void SettingsClick();
    void SpravkaClick();
    void spSkinButton16Click();
    void spSkinButton17Click();
    void spSkinButton5Click(); // closes the literature page

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildPages();
    void connectHandlers();
    void firstShowing();
    void createRunEngine();
    void applyOpenedBase(const OpenedBase& base, const QString& archiveName,
                         const QString& caption);
    void drawBusy();
    void execRunDialog(QDialog* dialog);

    // The results journal (main_window_journal.cpp).
    QDateTime utcNow() const;
    void openJournal();
    void tellJournalProblem();
    void offerUnfinishedRuns();
    bool resumeExam(const StoredRun& run);
    void endInterrupted(const StoredRun& run);

    // RunWindow: what the run engine needs of the window.
    void showRunPage(RunPage page) override;
    void processPendingMessages() override;
    void execTicketChoice() override;
    void execExamInfo() override;
    void layoutWindow() override;
    void focusQuestionText() override;
    int answerLineCount(int row, const QString& text) const override;
    QSize pictureArea() const override;
    QString askSaveFileName(const SaveDialogRequest& request) override;
    QString openLiterature(const QString& path, const QString& anchor) override;
    QString printDocument(QTextDocument& document) override;
    void showBasePicture(const QPixmap& picture);
    void setBaseTexts(const QString& description);
    void updateModeButtons();
    void menuButtonEntered(const QString& name);
    void resultsButtonEntered(const QString& name);
    bool openUrl(const QUrl& url);

    ShellEnvironment environment_;
    QString programFolder_;
    LiveSettings live_;
    SoundEffects effects_;
    Archiver archiver_;

    std::unique_ptr<RunEngine> engine_;
    // Null while the journal is off.
    std::unique_ptr<JournalSession> journal_;
    bool wallClockOnResume_ = false;

    QString currentArchiveName_;
    bool baseUsable_ = false;
    bool modeButtonsConfirmed_ = false;
    bool firstShown_ = false;

    OpenBasePage* openBasePanel_ = nullptr;
    MainMenuPage* mainPanel_ = nullptr;
    QuestionPage* questionPanel_ = nullptr;
    LiteraturePage* literaturePanel_ = nullptr;
    ResultsPage* resultsPanel_ = nullptr;
    SettingsPage* settingsPanel_ = nullptr;
    ProgressOverlay* mesShow_ = nullptr;

    SplashWindow* splash_ = nullptr;
    TicketChoiceDialog* ticketChoice_ = nullptr;
    ExamInfoDialog* examInfo_ = nullptr;
    AboutWindow* about_ = nullptr;

    // The control that had the keyboard focus when a question began to load.
    QPointer<QWidget> focusBeforeBusy_;

    RightClickFilter* rightClickFilter_ = nullptr;
    HintWrapper* hintWrapper_ = nullptr;
};

} // namespace korvel
