#pragma once

#include "engine/colouring.h"
#include "engine/page_state.h"
#include "engine/presentation.h"
#include "engine/run_recorder.h"
#include "engine/run_state.h"

#include <QDateTime>
#include <QObject>
#include <QTextDocument>
#include <QTime>
#include <QTimer>
#include <functional>

namespace korvel {

class Archiver;
class LiveSettings;
class MessageBoxes;
class RunWindow;
class SoundEffects;
struct ResumedExam;

// Everything a run takes from outside. The program hands in its own; tests
// pin the random draws and the time of day.
struct RunEnvironment {
    Archiver* archiver = nullptr;
    MessageBoxes* boxes = nullptr;
    SoundEffects* effects = nullptr;
    LiveSettings* settings = nullptr;
    RunWindow* window = nullptr;
    QString programFolder; // with a trailing '/'
    // A uniform whole number from low to high, both included.
    std::function<int(int low, int high)> random;
    std::function<QTime()> timeOfDay;
    // The results journal; null records nothing (and costs nothing).
    RunRecorder* recorder = nullptr;
    // The moment the journal records, in UTC. Empty: the system clock.
    std::function<QDateTime()> utcNow;
};

// The question loop of TForm1: the run state, what the question page, the
// results page, the dialogs and the overlay show, and the handlers under
// their own names. Every handler leaves the state consistent and emits
// changed(); the pages draw the state then.
class RunEngine final : public QObject {
    Q_OBJECT
public:
    explicit RunEngine(const RunEnvironment& environment, QObject* parent = nullptr);
    ~RunEngine() override;

    const RunState& state() const { return state_; }
    const QuestionPageState& page() const { return page_; }
    const ResultsPageState& results() const { return results_; }
    const TicketChoiceState& ticketChoice() const { return ticketChoice_; }
    const ExamInfoState& examInfo() const { return examInfo_; }
    const BusyState& busy() const { return busy_; }
    // Vopros: the question text, later the report.
    QTextDocument* questionDocument() { return &questionDocument_; }

    // Base opening: the counts and both matrices, zeroed.
    void openBase(const QString& path, const ByteStream& descriptor, int tickets,
                  int questionsPerTicket);
    // A base that did not open fully keeps the counts and matrices before.
    void setBasePath(const QString& path) {
        state_.CurrentBasePath = path;
        baseSha256_.clear();
    }
    void setBaseDescriptor(const ByteStream& descriptor) { state_.BaseDescriptor = descriptor; }

    // The results journal, once the program has opened it; null: none.
    void setRecorder(RunRecorder* recorder) { env_.recorder = recorder; }
    // The run under way, or the one last ended (a work-on-errors run names it
    // as its parent); empty before the first run.
    const QString& runId() const { return journalRun_.id; }
    // Goes on with an exam the journal holds, as the same run: the open base
    // must be the exam's. False, with nothing changed, when the exam does not
    // fit the open base.
    bool resumeExam(const ResumedExam& exam);
    // The window closes: a run under way is left as by the main menu.
    void windowClosing();

    // Timers: Timer1 countdown, Timer2 red lamp, Timer3 green lamp, Timer4 clock.
    const QTimer& timer(int n) const;

    // Presentation.
    void ShowZamtor();
    void MemePosBack();

    // Answer controls.
    void ButtonsDisable();
    void ButtonsEnable();

    // Answering; n is the row, 1..5.
    void TestButMouseEnter(int n); // also the pointer entering spSkinSwitch<n>
    void TestButMouseLeave(int n);
    void TestButMouseDown(int n);
    void spSkinPanelMouseEnter(int n); // spSkinPanel<n+11>
    void spSkinPanelMouseLeave(int n);
    // The activated answer button identifies the answer.
    void TestButClick(int n);
    // The user switched spSkinSwitch<n>; runs spSkinSwitch1Change when it changed.
    void setSwitch(int n, bool on);
    void spSkinSwitch1Change();
    void ButtonTestChoisClick();
    void Timer2Timer();
    void Timer3Timer();
    void QButtonClick();

    // Colouring.
    void memocolor();

    // Navigation.
    void NextButtonClick();
    void BackButtonsClick();
    void NextBiletClick();
    void PrevBiletClick();
    void spSkinButton8Click();
    void spSkinButton15Click();
    void BackAnClick();

    // Run starts and their dialogs.
    void Frame31spSkinButton1Click(); // "Подготовка к экзамену"
    void spSkinButton12Click();       // "ЭКЗАМЕН"
    void AfterClick();
    // TForm4 "Билеты"; row is 0-based.
    void setTicketChecked(int row, bool checked);
    void setTicketRow(int row);
    void TicketsAllClick();    // spSkinButton16 "Все"
    void TicketsClearClick();  // spSkinButton19 "Очистить"
    void TicketsInvertClick(); // spSkinButton22 "Инверт"
    void TicketsChooseClick(); // spSkinButton1 "Выбрать"
    void TicketsCancelClick(); // spSkinButton2 "Отмена", or the dialog closed
    // TForm2 "Информация к Экзамену".
    void setExamineeName(const QString& name);
    void ExamOkClick();     // spSkinButton1 "Ок"
    void ExamCancelClick(); // spSkinButton2 "Отмена", or the dialog closed

    // Clock.
    void EnabledWatch();
    void DisabledWatch();
    void Timer1Timer();
    void Timer4Timer();

    // The literature page of the question and the picture's zoom.
    enum class ViewerStage { Starting, Running, Ending };
    void infoButtonClick();
    void ViewerProgress(ViewerStage stage, int percent);
    void Image16Click();

    // Grading.
    void AnalizeEnter();

    // After the run: analysis mode and work on errors.
    void Frame61spSkinButton1Click(); // "Режим Анализа"
    void WorkErrorClick();            // "Работа над ошибками"

    // The report in Vopros, saved as RTF or printed.
    void ShowOtchetClick();
    void SaveButtonClick();
    void PrintingButtonClick();

signals:
    void changed();

private:
    class BusyScope;
    struct PendingMessage {
        bool plain = false; // the platform's plain box, else an error box
        QString text;
    };

    void emitChanged();
    // BackAn, and either QButton with infoButton or the report's print and save.
    void setToolBar(bool backAn, bool reportView);
    void showPendingMessages();
    void letMessagesBeProcessed();
    void step(int amount);
    void playEffect(const QString& name);
    int colorSetting(int row) const;
    AnswerColours colours() const;

    void presentOnce();
    void loadText(int t, int q);
    void loadPicture(int t, int q);
    void readRecordIntoRows(int t, int q);
    void shuffleRows();
    QString literaturePagePath() const;

    void startLampInterval(bool right);
    void switchLampOff(QTimer& timer, bool& lamp);
    void endLampInterval(QTimer& timer, bool& lamp);
    void endPendingLampInterval();
    void endRun(RunEnding ending);

    void questionStepAnswering(int direction);
    void ticketStepAnswering(int direction);
    void questionStepAnalysis(int direction);
    void ticketStepAnalysis(int direction);
    void giveUp();

    void rebuildTicketList();
    void prepareRunStart();
    void clearChosenOfCheckedTickets();

    // The journal's side of the handlers (run_journaling.cpp).
    struct JournalRun {
        QString id;
        RecordedRunKind kind = RecordedRunKind::Preparation;
        bool open = false; // started and not yet ended
        bool timed = false;
        int total = 0; // questions in the run
        int seq = 0;   // of the last answer recorded
        QDateTime shownAt;
    };
    QDateTime utcNow() const;
    void recordRunStart(RecordedRunKind kind, int questions);
    void recordPresentation();
    void recordAnswer(bool correct);
    void recordExamTime();
    void recordRunEnd(RunEnding ending);
    void recordLeaving();
    QString baseSha256();

    RunEnvironment env_;
    RunState state_;
    QuestionPageState page_;
    ResultsPageState results_;
    TicketChoiceState ticketChoice_;
    ExamInfoState examInfo_;
    BusyState busy_;
    QTextDocument questionDocument_;
    QTimer timer1_;
    QTimer timer2_;
    QTimer timer3_;
    QTimer timer4_;
    int watchHour_ = -1;
    int watchMinute_ = -1;
    bool presenting_ = false;
    bool presentAgain_ = false;
    QList<PendingMessage> pendingMessages_;
    QByteArray literatureIndexBytes_; // of the question last presented
    JournalRun journalRun_;
    // Of the open base's archive, hashed at its first recorded run.
    QString baseSha256_;
};

} // namespace korvel
