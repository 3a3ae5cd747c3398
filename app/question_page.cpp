#include "app/question_page.h"

#include "app/answer_widgets.h"
#include "app/hover_watcher.h"
#include "app/widget_helpers.h"
#include "engine/run_engine.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextEdit>
#include <QToolButton>

namespace korvel {

namespace {
constexpr int ScrollBarWidth = 19;
constexpr int MemoLeft = 72;
constexpr int ControlLeft = 32;
const char* const RowProperty = "answerRow";

QLabel* counterLabel(QWidget* parent, const QString& name, const QRect& over,
                     const QString& color = QStringLiteral("white")) {
    auto* label = placed<QLabel>(parent, name, over.x(), over.y(), over.width(), over.height(),
                                 QStringLiteral("00"));
    label->setAlignment(Qt::AlignCenter);
    label->setProperty("counter", true);
    label->setStyleSheet(
        QStringLiteral("color: %1; font-weight: bold; font-size: 15px; background: transparent;")
            .arg(color));
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

// Visibility as drawn, without touching a control that already shows it.
void showAs(QWidget* widget, bool visible) {
    if (widget->isHidden() == visible)
        widget->setVisible(visible);
}

void setTextAs(QLabel* label, const QString& text) {
    if (label->text() != text)
        label->setText(text);
}
} // namespace

QuestionPage::QuestionPage(QWidget* parent)
    : QFrame(parent) {
    setObjectName(QStringLiteral("spSkinPanel1"));
    setProperty("page", true);
    hover_ = new HoverWatcher(this);
    connect(hover_, &HoverWatcher::entered, this, &QuestionPage::toolButtonEntered);

    toolBar_ = placed<QFrame>(this, QStringLiteral("spSkinPanel3"), 0, 0, 745, ToolBarHeight);
    toolBar_->setProperty("toolBar", true);
    voproc_ = placed<QFrame>(this, QStringLiteral("Voproc"), 0, ToolBarHeight, 745, 239);
    buttonPanel_ =
        placed<QFrame>(this, QStringLiteral("ButtonPanel"), 0, 288, 745, AnswerAreaHeight);

    image16_ =
        placed<QuestionPicture>(voproc_, QStringLiteral("Image16"), 0, 0, 745, pictureHeight_);
    image16_->hide();
    vopros_ = placed<QTextEdit>(voproc_, QStringLiteral("Vopros"), 0, pictureHeight_, 745, 71);
    vopros_->setReadOnly(true);
    vopros_->setAcceptRichText(true);
    vopros_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    vopros_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    vopros_->setAccessibleName(QStringLiteral("Текст вопроса"));
    QScrollBar* bar = vopros_->verticalScrollBar();
    bar->setObjectName(QStringLiteral("ScrollBar1"));
    bar->setFixedWidth(ScrollBarWidth);
    connect(bar, &QScrollBar::sliderPressed, this, [this] { scrollBarReleased_ = false; });
    connect(bar, &QScrollBar::sliderReleased, this, [this] { scrollBarReleased_ = true; });
    memo2_ = placed<QPlainTextEdit>(voproc_, QStringLiteral("Memo2"), 320, 152, 401, 89);
    memo2_->setReadOnly(true);
    memo2_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo2_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    memo2_->hide();

    buildToolBar();
    buildAnswerArea();
    resize(745, 545);
}

QScrollBar* QuestionPage::scrollBar() const {
    return vopros_->verticalScrollBar();
}

QWidget* QuestionPage::child(const QString& name) const {
    return findChild<QWidget*>(name);
}

QToolButton* QuestionPage::toolButton(QWidget* parent, const QString& name, int left, int top,
                                      int side, const QString& icon, const QString& toolTip) {
    auto* button = placed<QToolButton>(parent, name, left, top, side, side);
    button->setIcon(QIcon(icon));
    button->setIconSize(QSize(side - 8, side - 8));
    button->setToolTip(toolTip);
    button->setAccessibleName(toolTip);
    button->setAutoRaise(true);
    // Reached with Tab; a click leaves the focus where it was.
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

void QuestionPage::buildToolBar() {
    qButton_ = toolButton(toolBar_, QStringLiteral("QButton"), 8, 10, 34,
                          QStringLiteral(":/pictures/icon_help.png"), QStringLiteral("Помощь"));
    infoButton_ = toolButton(toolBar_, QStringLiteral("infoButton"), 48, 10, 34,
                             QStringLiteral(":/pictures/icon_info.png"),
                             QStringLiteral("Подробная Информация"));
    saveButton_ = toolButton(toolBar_, QStringLiteral("SaveButton"), 8, 10, 33,
                             QStringLiteral(":/pictures/icon_save.png"),
                             QStringLiteral("Сохранить в RTF формате"));
    printingButton_ = toolButton(toolBar_, QStringLiteral("PrintingButton"), 48, 10, 33,
                                 QStringLiteral(":/pictures/icon_print.png"),
                                 QStringLiteral("Распечатать на принтере"));
    for (QToolButton* button : {qButton_, infoButton_, saveButton_, printingButton_})
        hover_->watch(button);
    saveButton_->hide();
    printingButton_->hide();

    auto* clock = placed<QFrame>(toolBar_, QStringLiteral("spSkinPanel2"), 309, 10, 121, 34);
    clock->setProperty("clock", true);
    auto* clockPicture = placed<QLabel>(clock, QStringLiteral("Image7"), 8, 0, 33, 33);
    clockPicture->setPixmap(QPixmap(QStringLiteral(":/pictures/icon_clock.png"))
                                .scaled(33, 33, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    QLabel* digits[3] = {};
    int k = 0;
    // The numbers stand close to the colon: an hour of one digit keeps to it.
    for (const auto& [name, left, width, text, alignment] :
         {std::tuple{QStringLiteral("min"), 49, 26, QStringLiteral("00"), Qt::AlignRight},
          std::tuple{QStringLiteral("t2toch"), 75, 8, QStringLiteral(":"), Qt::AlignHCenter},
          std::tuple{QStringLiteral("sec"), 83, 26, QStringLiteral("00"), Qt::AlignLeft}}) {
        auto* label = placed<QLabel>(clock, name, left, 6, width, 25, text);
        label->setProperty("clockDigits", true);
        label->setStyleSheet(QStringLiteral("color: #1030c0; font-family: 'Liberation Sans', "
                                            "Arial; font-weight: bold; font-size: 21px; "
                                            "background: transparent;"));
        label->setAlignment(alignment | Qt::AlignVCenter);
        digits[k++] = label;
    }
    min_ = digits[0];
    t2toch_ = digits[1];
    sec_ = digits[2];

    backAn_ = toolButton(toolBar_, QStringLiteral("BackAn"), 664, 10, 33,
                         QStringLiteral(":/pictures/icon_back.png"), QStringLiteral("Назад"));
    hover_->watch(backAn_);
    hover_->watch(toolButton(toolBar_, QStringLiteral("spSkinButton8"), 703, 10, 34,
                             QStringLiteral(":/pictures/icon_menu.png"),
                             QStringLiteral("В Главное Меню")));
    backAn_->hide();

    timeGo_ = placed<QProgressBar>(toolBar_, QStringLiteral("TimeGo"), 0, 0, 745, 9);
    timeGo_->setRange(0, 1);
    timeGo_->setValue(0);
    timeGo_->setFormat(QStringLiteral("Время пошло..."));
    timeGo_->setTextVisible(true);
    timeGo_->setStyleSheet(QStringLiteral("QProgressBar { font-size: 7px; }"));
    timeGo_->hide();
}

QGroupBox* QuestionPage::navigator(const QString& name, int left, const QString& title,
                                   const QString& backName, const QString& backHint,
                                   const QString& labelName, const QString& nextName,
                                   const QString& nextHint) {
    auto* group = placed<QGroupBox>(buttonPanel_, name, left, 2, 97, 45, title);
    group->setProperty("navigator", true);
    QToolButton* back = toolButton(group, backName, 5, 20, 19,
                                   QStringLiteral(":/pictures/icon_prev.png"), backHint);
    back->setIconSize(QSize(15, 15));
    auto* number = placed<QLabel>(group, labelName, 28, 17, 41, 25);
    number->setAlignment(Qt::AlignCenter);
    number->setProperty("navigatorNumber", true);
    QToolButton* next = toolButton(group, nextName, 73, 20, 19,
                                   QStringLiteral(":/pictures/icon_next.png"), nextHint);
    next->setIconSize(QSize(15, 15));
    return group;
}

void QuestionPage::buildAnswerArea() {
    confirm_ = toolButton(buttonPanel_, QStringLiteral("ButtonTestChois"), 32, 4, 41,
                          QStringLiteral(":/pictures/icon_ok.png"), QStringLiteral("Выбор сделан"));
    confirm_->setToolTip(QStringLiteral("Выбор сделан (Enter)"));
    confirm_->setFocusPolicy(Qt::StrongFocus);
    hover_->watch(confirm_);

    navigator(QStringLiteral("spSkinGroupBox7"), 160, QStringLiteral("Вопрос номер:"),
              QStringLiteral("BackButton"), QStringLiteral("Предыдущий вопрос"),
              QStringLiteral("ButtonVopros"), QStringLiteral("NextButton"),
              QStringLiteral("Следующий вопрос"));
    navigator(QStringLiteral("spSkinGroupBox8"), 488, QStringLiteral("Билет номер:"),
              QStringLiteral("PrevBilet"), QStringLiteral("Предыдущий билет"),
              QStringLiteral("ButtonBilet"), QStringLiteral("NextBilet"),
              QStringLiteral("Следующий билет"));
    buttonVopros_ = findChild<QLabel*>(QStringLiteral("ButtonVopros"));
    buttonBilet_ = findChild<QLabel*>(QStringLiteral("ButtonBilet"));
    backButton_ = findChild<QToolButton*>(QStringLiteral("BackButton"));
    nextButton_ = findChild<QToolButton*>(QStringLiteral("NextButton"));
    prevBilet_ = findChild<QToolButton*>(QStringLiteral("PrevBilet"));
    nextBilet_ = findChild<QToolButton*>(QStringLiteral("NextBilet"));
    // The keys that do the same, beside the hints.
    for (const auto& [button, key] :
         {std::pair{backButton_, QStringLiteral("←")}, std::pair{nextButton_, QStringLiteral("→")},
          std::pair{prevBilet_, QStringLiteral("Page Up")},
          std::pair{nextBilet_, QStringLiteral("Page Down")}})
        button->setToolTip(QStringLiteral("%1 (%2)").arg(button->accessibleName(), key));

    auto* lamps = placed<QFrame>(buttonPanel_, QStringLiteral("lampPanel"), 271, 4, 209, 41);
    lamps->setProperty("lampPanel", true);
    redLamp_ = placed<Lamp>(lamps, QStringLiteral("RedLamp"), 3, 4, 65, 34,
                            QStringLiteral(":/pictures/lamp_red.png"));
    redLabel_ = counterLabel(lamps, QStringLiteral("RedLabel"), QRect(3, 4, 65, 34));
    const QPixmap counter(QStringLiteral(":/pictures/counter.png"));
    auto* middle = placed<QLabel>(lamps, QStringLiteral("Image4"), 68, 4, 63, 34);
    middle->setPixmap(counter.scaled(63, 34, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    buttonRemain_ = counterLabel(lamps, QStringLiteral("ButtonRemain"), QRect(68, 4, 63, 34),
                                 QStringLiteral("#1f3f58"));
    greenLamp_ = placed<Lamp>(lamps, QStringLiteral("GreenLamp"), 131, 4, 65, 34,
                              QStringLiteral(":/pictures/lamp_green.png"));
    greenLabel_ = counterLabel(lamps, QStringLiteral("GreenLabel"), QRect(131, 4, 65, 34));

    for (int n = 1; n <= AnswerRows; ++n) {
        Row& row = rows_[size_t(n - 1)];
        const int top = rowHomeTop(n);
        row.label = placed<QLabel>(buttonPanel_, QStringLiteral("Label%1").arg(n + 2), 12, top + 8,
                                   18, 30, QString::number(n));
        row.label->setProperty("answerNumber", true);
        row.label->setStyleSheet(
            QStringLiteral("color: #a0a8b0; font-size: 24px; background: transparent;"));
        row.memo = placed<AnswerBox>(buttonPanel_, QStringLiteral("TestMemo%1").arg(n), MemoLeft,
                                     top, 665, 41);
        row.memo->setProperty("answerBox", true);
        row.memo->setAccessibleName(QStringLiteral("Текст ответа %1").arg(n));
        row.button = placed<QPushButton>(buttonPanel_, QStringLiteral("TestBut%1").arg(n),
                                         ControlLeft, top, 41, 41);
        row.button->setProperty("answerButton", true);
        row.button->setAccessibleName(QStringLiteral("Ответ %1").arg(n));
        row.button->setFocusPolicy(Qt::StrongFocus);
        row.panel = placed<QFrame>(buttonPanel_, QStringLiteral("spSkinPanel%1").arg(n + 11),
                                   ControlLeft, top, 41, 40);
        row.panel->setProperty("switchPanel", true);
        row.panel->setFrameShape(QFrame::Panel);
        row.panel->setFrameShadow(QFrame::Raised);
        row.answerSwitch =
            placed<AnswerSwitch>(row.panel, QStringLiteral("spSkinSwitch%1").arg(n), 2, 10, 37, 21);
        row.answerSwitch->setProperty("answerSwitch", true);
        row.answerSwitch->setAccessibleName(QStringLiteral("Отметить ответ %1").arg(n));
        row.panel->hide();
        for (QWidget* watched :
             {static_cast<QWidget*>(row.button), static_cast<QWidget*>(row.panel),
              static_cast<QWidget*>(row.answerSwitch)}) {
            watched->setProperty(RowProperty, n);
            watched->installEventFilter(this);
        }
    }
}

void QuestionPage::attach(RunEngine& engine) {
    engine_ = &engine;
    vopros_->setDocument(engine.questionDocument());
    connect(engine_, &RunEngine::changed, this, &QuestionPage::draw);
    connectControls();
    buildKeys();
    draw();
}

void QuestionPage::connectControls() {
    RunEngine* engine = engine_;
    const auto clicked = [this](const char* name, void (RunEngine::*handler)()) {
        connect(findChild<QAbstractButton*>(QLatin1String(name)), &QAbstractButton::clicked,
                engine_, handler);
    };
    clicked("QButton", &RunEngine::QButtonClick);
    clicked("infoButton", &RunEngine::infoButtonClick);
    connect(image16_, &QuestionPicture::clicked, engine_, &RunEngine::Image16Click);
    clicked("spSkinButton8", &RunEngine::spSkinButton8Click);
    clicked("BackAn", &RunEngine::BackAnClick);
    clicked("ButtonTestChois", &RunEngine::ButtonTestChoisClick);
    clicked("NextButton", &RunEngine::NextButtonClick);
    clicked("BackButton", &RunEngine::BackButtonsClick);
    clicked("NextBilet", &RunEngine::NextBiletClick);
    clicked("PrevBilet", &RunEngine::PrevBiletClick);
    clicked("SaveButton", &RunEngine::SaveButtonClick);
    clicked("PrintingButton", &RunEngine::PrintingButtonClick);
    for (int n = 1; n <= AnswerRows; ++n) {
        const Row& row = rows_[size_t(n - 1)];
        connect(row.button, &QPushButton::clicked, engine,
                [engine, n] { engine->TestButClick(n); });
        // Drawing sets the switches with their signals blocked, so only the
        // user's changes arrive here.
        connect(row.answerSwitch, &QCheckBox::toggled, this, [this, n](bool on) {
            engine_->setSwitch(n, on);
            draw(); // a change the run refused is put back
        });
    }
}

bool QuestionPage::eventFilter(QObject* watched, QEvent* event) {
    const int n = watched->property(RowProperty).toInt();
    if (!engine_ || n < 1 || n > AnswerRows)
        return QFrame::eventFilter(watched, event);
    const Row& row = rows_[size_t(n - 1)];
    const bool isPanel = watched == row.panel;
    switch (event->type()) {
    case QEvent::Enter:
        if (isPanel)
            engine_->spSkinPanelMouseEnter(n);
        else
            engine_->TestButMouseEnter(n);
        break;
    case QEvent::Leave:
        // Also while the control is disabled: after a wrong answer the right
        // one shows when the pointer leaves the button.
        if (isPanel)
            engine_->spSkinPanelMouseLeave(n);
        else
            engine_->TestButMouseLeave(n);
        break;
    case QEvent::MouseButtonPress:
        if (watched == row.button && row.button->isEnabled())
            engine_->TestButMouseDown(n);
        break;
    default:
        break;
    }
    return QFrame::eventFilter(watched, event);
}

void QuestionPage::draw() {
    if (!engine_)
        return;
    drawRows();
    drawToolBar();
    drawCounters();
    drawQuestion();
}

void QuestionPage::drawRows() {
    const QuestionPageState& page = engine_->page();
    const bool enabled = page.answerControlsEnabled;
    confirm_->setEnabled(enabled);
    for (int n = 1; n <= AnswerRows; ++n) {
        const AnswerRowState& state = page.rows[size_t(n - 1)];
        Row& row = rows_[size_t(n - 1)];
        if (row.drawnText != state.text) {
            row.drawnText = state.text;
            row.memo->setPlainText(state.text);
        }
        if (row.memo->toolTip() != state.toolTip)
            row.memo->setToolTip(state.toolTip);
        row.memo->setColor(state.color);
        for (QWidget* widget : {static_cast<QWidget*>(row.memo), static_cast<QWidget*>(row.button),
                                static_cast<QWidget*>(row.panel)}) {
            if (widget->y() != state.top)
                widget->move(widget->x(), state.top);
        }
        showAs(row.memo, state.memoVisible);
        showAs(row.button, state.buttonVisible);
        showAs(row.panel, state.switchPanelVisible);
        showAs(row.label, state.labelVisible);
        row.button->setEnabled(enabled);
        row.panel->setEnabled(enabled);
        row.panel->setFrameShadow(state.switchPanelFlat ? QFrame::Plain : QFrame::Raised);
        {
            // The run turns switches on in analysis mode: that is no change
            // of the user's to send back.
            const QSignalBlocker blocker(row.answerSwitch);
            row.answerSwitch->setChecked(state.switchOn);
        }
    }
}

void QuestionPage::drawToolBar() {
    const QuestionPageState& page = engine_->page();
    showAs(qButton_, page.qButtonVisible);
    showAs(infoButton_, page.infoButtonVisible);
    showAs(backAn_, page.backAnVisible);
    showAs(printingButton_, page.printingButtonVisible);
    showAs(saveButton_, page.saveButtonVisible);

    setTextAs(min_, page.minText);
    setTextAs(sec_, page.secText);
    showAs(t2toch_, page.separatorVisible);
    if (timeGo_->maximum() != qMax(1, page.timeGoMaximum))
        timeGo_->setRange(0, qMax(1, page.timeGoMaximum));
    timeGo_->setValue(qMin(page.timeGoValue, timeGo_->maximum()));
    showAs(timeGo_, page.timeGoVisible);
}

void QuestionPage::drawCounters() {
    const QuestionPageState& page = engine_->page();
    greenLamp_->setLit(page.greenLampLit);
    redLamp_->setLit(page.redLampLit);
    setTextAs(greenLabel_, twoDigits(page.greenLabel));
    setTextAs(redLabel_, twoDigits(page.redLabel));
    setTextAs(buttonRemain_, twoDigits(page.buttonRemain));
    setTextAs(buttonBilet_, page.buttonBilet == 0 ? QString() : QString::number(page.buttonBilet));
    setTextAs(buttonVopros_,
              page.buttonVopros == 0 ? QString() : QString::number(page.buttonVopros));
}

void QuestionPage::drawQuestion() {
    const QuestionPageState& page = engine_->page();
    if (buttonPanel_->isHidden() == page.buttonPanelVisible) {
        buttonPanel_->setVisible(page.buttonPanelVisible);
        alignAreas();
    }
    if (image16_->image().cacheKey() != page.picture.cacheKey())
        image16_->setImage(page.picture);
    image16_->setStretched(page.pictureStretched);
    if (image16_->isHidden() == page.pictureVisible) {
        image16_->setVisible(page.pictureVisible);
        alignAreas();
    }
    if (drawnMemo2_ != page.memo2Text) {
        drawnMemo2_ = page.memo2Text;
        memo2_->setPlainText(page.memo2Text);
    }
    showAs(memo2_, page.memo2Visible);
    if (page.memo2Visible)
        memo2_->raise();
    if (drawnTextGeneration_ != page.textGeneration) {
        drawnTextGeneration_ = page.textGeneration;
        vopros_->verticalScrollBar()->setValue(0);
        vopros_->moveCursor(QTextCursor::Start);
    }
}

QSize QuestionPage::pictureArea() const {
    return {voproc_->width(), pictureHeight_};
}

int QuestionPage::answerLineCount(int row, const QString& text) const {
    if (row < 1 || row > AnswerRows)
        return 0;
    return rows_[size_t(row - 1)].memo->lineCount(text);
}

void QuestionPage::layoutFor(const QSize& size) {
    resize(size);
    alignAreas();
    const int pageWidth = width();
    timeGo_->resize(pageWidth - 5, timeGo_->height());
    QWidget* clock = child(QStringLiteral("spSkinPanel2"));
    clock->move(pageWidth / 2 - 65, clock->y());
    QWidget* toMenu = child(QStringLiteral("spSkinButton8"));
    toMenu->move(pageWidth - 47, toMenu->y());
    backAn_->move(toMenu->x() - 40, backAn_->y());
    QWidget* lamps = child(QStringLiteral("lampPanel"));
    lamps->move(clock->x() - 38, lamps->y());
    QWidget* questionNavigator = child(QStringLiteral("spSkinGroupBox7"));
    questionNavigator->move(pageWidth / 4 - 80, questionNavigator->y());
    QWidget* ticketNavigator = child(QStringLiteral("spSkinGroupBox8"));
    ticketNavigator->move(pageWidth - pageWidth / 4 - 20, ticketNavigator->y());
    pictureHeight_ = qMax(0, voproc_->height() - 69);
    alignAreas();
    for (Row& row : rows_)
        row.memo->resize(pageWidth - 80, row.memo->height());
}

void QuestionPage::alignAreas() {
    const int w = width();
    const int h = height();
    toolBar_->setGeometry(0, 0, w, ToolBarHeight);
    // The question area takes the answer area's place while that is hidden
    // (the report view).
    const int answerHeight = buttonPanel_->isVisibleTo(this) ? AnswerAreaHeight : 0;
    buttonPanel_->setGeometry(0, h - AnswerAreaHeight, w, AnswerAreaHeight);
    voproc_->setGeometry(0, ToolBarHeight, w, qMax(0, h - ToolBarHeight - answerHeight));
    const int pictureHeight = image16_->isVisibleTo(voproc_) ? pictureHeight_ : 0;
    image16_->setGeometry(0, 0, w, pictureHeight_);
    vopros_->setGeometry(0, pictureHeight, w, qMax(0, voproc_->height() - pictureHeight));
}

void QuestionPage::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    alignAreas();
}

} // namespace korvel
