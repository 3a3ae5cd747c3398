#pragma once

#include <QFrame>
#include <array>

class QAbstractButton;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QScrollBar;
class QTextEdit;
class QToolButton;

namespace korvel {

class AnswerBox;
class AnswerSwitch;
class HoverWatcher;
class Lamp;
class QuestionPicture;
class RunEngine;

// The question page spSkinPanel1: the tool bar spSkinPanel3 at the top, the
// answer area ButtonPanel at the bottom and the question area Voproc between
// them. Inside Voproc the picture Image16 is at the top and the text Vopros
// fills the rest; ScrollBar1 is the text box's own vertical bar, skinned.
//
// The page shows the run engine's question page state: draw() is the one
// function from that state to the controls, run at every change; the
// controls' events go to the engine's handlers.
class QuestionPage final : public QFrame {
    Q_OBJECT
public:
    static constexpr int ToolBarHeight = 49;
    static constexpr int AnswerAreaHeight = 257;
    static constexpr int AnswerRows = 5;

    explicit QuestionPage(QWidget* parent = nullptr);

    // Shows `engine`'s state from now on and sends the events to it.
    void attach(RunEngine& engine);
    void draw();

    // The page's own layout at this size (the part of FormResize that is
    // the question page's).
    void layoutFor(const QSize& size);
    // Applies the alignment of the three areas and of Image16 / Vopros to
    // the current size.
    void alignAreas();

    // What the run asks of the page: the size a picture is shown at, and the
    // lines an answer text takes in its box.
    QSize pictureArea() const;
    int answerLineCount(int row, const QString& text) const;

    QFrame* toolBar() const { return toolBar_; }
    QFrame* questionArea() const { return voproc_; }
    QFrame* answerArea() const { return buttonPanel_; }
    QuestionPicture* picture() const { return image16_; }
    QTextEdit* text() const { return vopros_; }
    QScrollBar* scrollBar() const;
    QPlainTextEdit* hintMemo() const { return memo2_; }
    QProgressBar* timeGauge() const { return timeGo_; }

    // ScrollBarReleased: false only while a mouse button is held on ScrollBar1.
    bool scrollBarReleased() const { return scrollBarReleased_; }

signals:
    // The pointer entered one of the tool-bar buttons that play the hover sound.
    void toolButtonEntered(const QString& name);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Row {
        AnswerBox* memo = nullptr;
        QPushButton* button = nullptr;
        QFrame* panel = nullptr;
        AnswerSwitch* answerSwitch = nullptr;
        QLabel* label = nullptr;
        QString drawnText;
    };

    void buildToolBar();
    void buildAnswerArea();
    QToolButton* toolButton(QWidget* parent, const QString& name, int left, int top, int side,
                            const QString& icon, const QString& toolTip);
    QGroupBox* navigator(const QString& name, int left, const QString& title,
                         const QString& backName, const QString& backHint, const QString& labelName,
                         const QString& nextName, const QString& nextHint);
    void connectControls();
    // The keys of a run, answering what the user sees (question_page_keys.cpp).
    void buildKeys();
    void answerKey(int label);
    void enterKey();
    void stepKey(QAbstractButton* step);
    void drawRows();
    void drawToolBar();
    void drawCounters();
    void drawQuestion();
    QWidget* child(const QString& name) const;

    RunEngine* engine_ = nullptr;
    HoverWatcher* hover_ = nullptr;
    QFrame* toolBar_ = nullptr;
    QFrame* voproc_ = nullptr;
    QFrame* buttonPanel_ = nullptr;
    QuestionPicture* image16_ = nullptr;
    QTextEdit* vopros_ = nullptr;
    QPlainTextEdit* memo2_ = nullptr;
    QProgressBar* timeGo_ = nullptr;
    QToolButton* confirm_ = nullptr;
    QToolButton* backButton_ = nullptr;
    QToolButton* nextButton_ = nullptr;
    QToolButton* prevBilet_ = nullptr;
    QToolButton* nextBilet_ = nullptr;
    QToolButton* qButton_ = nullptr;
    QToolButton* infoButton_ = nullptr;
    QToolButton* backAn_ = nullptr;
    QToolButton* saveButton_ = nullptr;
    QToolButton* printingButton_ = nullptr;
    Lamp* greenLamp_ = nullptr;
    Lamp* redLamp_ = nullptr;
    QLabel* greenLabel_ = nullptr;
    QLabel* redLabel_ = nullptr;
    QLabel* buttonRemain_ = nullptr;
    QLabel* buttonBilet_ = nullptr;
    QLabel* buttonVopros_ = nullptr;
    QLabel* min_ = nullptr;
    QLabel* t2toch_ = nullptr;
    QLabel* sec_ = nullptr;
    std::array<Row, AnswerRows> rows_;
    QString drawnMemo2_;
    int drawnTextGeneration_ = -1;
    int pictureHeight_ = 168;
    bool scrollBarReleased_ = true;
};

} // namespace korvel
