#pragma once

#include <QFrame>

class QCheckBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QScrollBar;
class QTextEdit;
class QToolButton;

namespace korvel {

class HoverWatcher;

// The question page spSkinPanel1: the tool bar spSkinPanel3 at the top, the
// answer area ButtonPanel at the bottom and the question area Voproc between
// them. Inside Voproc the picture Image16 is at the top and the text Vopros
// fills the rest; ScrollBar1 is the text box's own vertical bar, skinned.
class QuestionPage final : public QFrame {
    Q_OBJECT
public:
    static constexpr int ToolBarHeight = 49;
    static constexpr int AnswerAreaHeight = 257;
    static constexpr int AnswerRows = 5;

    explicit QuestionPage(QWidget* parent = nullptr);

    // Applies the alignment of the three areas and of Image16 / Vopros to
    // the current size; FormResize calls it before it reads their sizes.
    void alignAreas();
    // The picture's height; the text box keeps the rest of Voproc.
    void setPictureHeight(int height);

    QFrame* toolBar() const { return toolBar_; }
    QFrame* questionArea() const { return voproc_; }
    QFrame* answerArea() const { return buttonPanel_; }
    QLabel* picture() const { return image16_; }
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

private:
    void buildToolBar();
    void buildAnswerArea();
    QToolButton* toolButton(QWidget* parent, const QString& name, int left, int top, int side,
                            const QString& icon, const QString& toolTip);
    QGroupBox* navigator(const QString& name, int left, const QString& title,
                         const QString& backName, const QString& backHint, const QString& labelName,
                         const QString& nextName, const QString& nextHint);

    HoverWatcher* hover_ = nullptr;
    QFrame* toolBar_ = nullptr;
    QFrame* voproc_ = nullptr;
    QFrame* buttonPanel_ = nullptr;
    QLabel* image16_ = nullptr;
    QTextEdit* vopros_ = nullptr;
    QPlainTextEdit* memo2_ = nullptr;
    QProgressBar* timeGo_ = nullptr;
    int pictureHeight_ = 168;
    bool scrollBarReleased_ = true;
};

} // namespace korvel
