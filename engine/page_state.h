#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>
#include <array>

namespace korvel {

inline constexpr int White = 16777215;
inline constexpr int AnswerRows = 5;
// The pointer feedback's two fixed colours.
inline constexpr int PointerColorA = 16508099;
inline constexpr int PointerColorB = 16508180;

// Row n's home top in the answer area: 48, 88, 128, 168, 208.
constexpr int rowHomeTop(int n) {
    return 48 + 40 * (n - 1);
}

// The pages of the main window the run moves between.
enum class RunPage { MainMenu, Question, Results, Literature };

// One answer row: TestMemo<n>, TestBut<n>, spSkinPanel<n+11> with
// spSkinSwitch<n>, and the number label Label<n+2>.
struct AnswerRowState {
    QString text;      // TestMemo<n>, plain text
    QString toolTip;   // the whole text when it wraps to 3 lines or more
    int color = White; // Windows colour reference of the box
    bool memoVisible = true;
    bool buttonVisible = true;
    bool switchPanelVisible = false;
    bool labelVisible = true;
    bool switchOn = false;
    bool switchPanelFlat = false; // border while the pointer is over the panel
    int top = 48;                 // of box, button and switch panel alike
};

// What the question page spSkinPanel1 shows, besides the question text
// (RunEngine::questionDocument) and the dialogs.
struct QuestionPageState {
    std::array<AnswerRowState, AnswerRows> rows;

    // ButtonsDisable / ButtonsEnable: ButtonTestChois, TestBut1..5, spSkinPanel12..16.
    bool answerControlsEnabled = true;

    bool greenLampLit = false;
    bool redLampLit = false;
    // A lamp is lit from the answer check to the end of its lamp interval.
    bool inLampInterval() const { return greenLampLit || redLampLit; }
    int greenLabel = 0;   // GreenLabel, two-digit form
    int redLabel = 0;     // RedLabel
    int buttonRemain = 0; // ButtonRemain
    int buttonBilet = 0;  // ButtonBilet, plain decimal ("" while 0)
    int buttonVopros = 0; // ButtonVopros

    // The clock: min, t2toch, sec.
    QString minText = QStringLiteral("00");
    QString secText = QStringLiteral("00");
    bool separatorVisible = true;
    // TimeGo; its text is fixed.
    bool timeGoVisible = false;
    int timeGoValue = 0;
    int timeGoMaximum = 0;

    QImage picture; // Image16, decoded at most at the size shown
    bool pictureVisible = false;
    bool pictureStretched = false; // Image16Click: stretched, or fitted keeping proportions

    bool qButtonVisible = true;         // QButton, "Помощь"
    bool infoButtonVisible = true;      // infoButton
    bool backAnVisible = false;         // BackAn
    bool buttonPanelVisible = true;     // ButtonPanel, the answer area
    bool printingButtonVisible = false; // PrintingButton
    bool saveButtonVisible = false;     // SaveButton

    bool memo2Visible = false; // Memo2, the answer listing of a ticket step that gave up
    QString memo2Text;

    // Bumped when the question text document gets new content, so a view
    // scrolls back to its top.
    int textGeneration = 0;
};

// The results page Analiz.
struct ResultsPageState {
    QString analizStr;                   // AnalizStr, the result line
    int analizStrColor = 0;              // Windows colour reference: 32768 good, 255 bad
    QString pozdr = QStringLiteral("1"); // Pozdr
    QByteArray loserGif;                 // the animation of loser; empty: no picture
    int loserGeneration = 0;             // bumped at every load, also of the same bytes
    bool showOtchetEnabled = true;       // ShowOtchet
};

// The ticket-choice dialog TForm4: spSkinListBox1 (row texts are
// "Билет номер - " + number; the check marks are RunState::ChosenTickets).
struct TicketChoiceState {
    int currentRow = 0; // the highlighted row
    bool open = false;
};

// The exam-information dialog TForm2.
struct ExamInfoState {
    QString spSkinEdit1; // the examinee's name, kept for the next exam
    QString spSkinEdit2; // the drawn tickets, "2; 5; 9; "
    bool open = false;
};

// The progress overlay MesShow over a disabled main window.
struct BusyState {
    bool overlayVisible = false;
    int gauge = 0; // ProgressBar
    int gaugeMaximum = 100;
    bool windowEnabled = true;
};

} // namespace korvel
