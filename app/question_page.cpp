#include "app/question_page.h"

#include "app/hover_watcher.h"
#include "app/widget_helpers.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTextEdit>
#include <QToolButton>

namespace korvel {

namespace {
constexpr int RowHomeTop = 48;
constexpr int RowPitch = 40;
constexpr int ScrollBarWidth = 19;

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

    image16_ = placed<QLabel>(voproc_, QStringLiteral("Image16"), 0, 0, 745, pictureHeight_);
    image16_->setAlignment(Qt::AlignCenter);
    image16_->setProperty("questionPicture", true);
    vopros_ = placed<QTextEdit>(voproc_, QStringLiteral("Vopros"), 0, pictureHeight_, 745, 71);
    vopros_->setReadOnly(true);
    vopros_->setAcceptRichText(true);
    vopros_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    vopros_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QScrollBar* bar = vopros_->verticalScrollBar();
    bar->setObjectName(QStringLiteral("ScrollBar1"));
    bar->setFixedWidth(ScrollBarWidth);
    connect(bar, &QScrollBar::sliderPressed, this, [this] { scrollBarReleased_ = false; });
    connect(bar, &QScrollBar::sliderReleased, this, [this] { scrollBarReleased_ = true; });
    memo2_ = placed<QPlainTextEdit>(voproc_, QStringLiteral("Memo2"), 320, 152, 401, 89);
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

QToolButton* QuestionPage::toolButton(QWidget* parent, const QString& name, int left, int top,
                                      int side, const QString& icon, const QString& toolTip) {
    auto* button = placed<QToolButton>(parent, name, left, top, side, side);
    button->setIcon(QIcon(icon));
    button->setIconSize(QSize(side - 8, side - 8));
    button->setToolTip(toolTip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

void QuestionPage::buildToolBar() {
    hover_->watch(toolButton(toolBar_, QStringLiteral("QButton"), 8, 10, 34,
                             QStringLiteral(":/pictures/icon_help.png"), QStringLiteral("Помощь")));
    hover_->watch(toolButton(toolBar_, QStringLiteral("infoButton"), 48, 10, 34,
                             QStringLiteral(":/pictures/icon_info.png"),
                             QStringLiteral("Подробная Информация")));
    QToolButton* save = toolButton(toolBar_, QStringLiteral("SaveButton"), 8, 10, 33,
                                   QStringLiteral(":/pictures/icon_save.png"),
                                   QStringLiteral("Сохранить в RTF формате"));
    QToolButton* print = toolButton(toolBar_, QStringLiteral("PrintingButton"), 48, 10, 33,
                                    QStringLiteral(":/pictures/icon_print.png"),
                                    QStringLiteral("Распечатать на принтере"));
    hover_->watch(save);
    hover_->watch(print);
    save->hide();
    print->hide();

    auto* clock = placed<QFrame>(toolBar_, QStringLiteral("spSkinPanel2"), 309, 10, 121, 34);
    clock->setProperty("clock", true);
    auto* clockPicture = placed<QLabel>(clock, QStringLiteral("Image7"), 8, 0, 33, 33);
    clockPicture->setPixmap(QPixmap(QStringLiteral(":/pictures/icon_clock.png"))
                                .scaled(33, 33, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    for (const auto& [name, left, width, text] :
         {std::tuple{QStringLiteral("min"), 51, 24, QStringLiteral("00")},
          std::tuple{QStringLiteral("t2toch"), 75, 8, QStringLiteral(":")},
          std::tuple{QStringLiteral("sec"), 83, 24, QStringLiteral("00")}}) {
        auto* label = placed<QLabel>(clock, name, left, 6, width, 25, text);
        label->setProperty("clockDigits", true);
        label->setStyleSheet(QStringLiteral("color: #1030c0; font-family: 'Liberation Sans', "
                                            "Arial; font-weight: bold; font-size: 21px; "
                                            "background: transparent;"));
        label->setAlignment(Qt::AlignCenter);
    }

    hover_->watch(toolButton(toolBar_, QStringLiteral("BackAn"), 664, 10, 33,
                             QStringLiteral(":/pictures/icon_back.png"), QStringLiteral("Назад")));
    hover_->watch(toolButton(toolBar_, QStringLiteral("spSkinButton8"), 703, 10, 34,
                             QStringLiteral(":/pictures/icon_menu.png"),
                             QStringLiteral("В Главное Меню")));

    timeGo_ = placed<QProgressBar>(toolBar_, QStringLiteral("TimeGo"), 0, 0, 745, 9);
    timeGo_->setRange(0, 0);
    timeGo_->setValue(0);
    timeGo_->setFormat(QStringLiteral("Время пошло..."));
    timeGo_->setTextVisible(true);
    timeGo_->hide();
}

QGroupBox* QuestionPage::navigator(const QString& name, int left, const QString& title,
                                   const QString& backName, const QString& backHint,
                                   const QString& labelName, const QString& nextName,
                                   const QString& nextHint) {
    auto* group = placed<QGroupBox>(buttonPanel_, name, left, 2, 97, 45, title);
    group->setProperty("navigator", true);
    toolButton(group, backName, 5, 20, 19, QStringLiteral(":/pictures/icon_prev.png"), backHint)
        ->setIconSize(QSize(15, 15));
    auto* number = placed<QLabel>(group, labelName, 28, 17, 41, 25);
    number->setAlignment(Qt::AlignCenter);
    number->setProperty("navigatorNumber", true);
    toolButton(group, nextName, 73, 20, 19, QStringLiteral(":/pictures/icon_next.png"), nextHint)
        ->setIconSize(QSize(15, 15));
    return group;
}

void QuestionPage::buildAnswerArea() {
    QToolButton* confirm =
        toolButton(buttonPanel_, QStringLiteral("ButtonTestChois"), 32, 4, 41,
                   QStringLiteral(":/pictures/icon_ok.png"), QStringLiteral("Выбор сделан"));
    hover_->watch(confirm);

    navigator(QStringLiteral("spSkinGroupBox7"), 160, QStringLiteral("Вопрос номер:"),
              QStringLiteral("BackButton"), QStringLiteral("Предыдущий вопрос"),
              QStringLiteral("ButtonVopros"), QStringLiteral("NextButton"),
              QStringLiteral("Следующий вопрос"));
    navigator(QStringLiteral("spSkinGroupBox8"), 488, QStringLiteral("Билет номер:"),
              QStringLiteral("PrevBilet"), QStringLiteral("Предыдущий билет"),
              QStringLiteral("ButtonBilet"), QStringLiteral("NextBilet"),
              QStringLiteral("Следующий билет"));

    auto* lamps = placed<QFrame>(buttonPanel_, QStringLiteral("lampPanel"), 271, 4, 209, 41);
    lamps->setProperty("lampPanel", true);
    const QPixmap redLamp(QStringLiteral(":/pictures/lamp_red.png"));
    const QPixmap greenLamp(QStringLiteral(":/pictures/lamp_green.png"));
    const QPixmap counter(QStringLiteral(":/pictures/counter.png"));
    auto* red = placed<QLabel>(lamps, QStringLiteral("RedLamp"), 3, 4, 65, 34);
    red->setPixmap(redLamp.copy(0, 0, redLamp.width() / 6, redLamp.height())
                       .scaled(65, 34, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    counterLabel(lamps, QStringLiteral("RedLabel"), QRect(3, 4, 65, 34));
    auto* middle = placed<QLabel>(lamps, QStringLiteral("Image4"), 68, 4, 63, 34);
    middle->setPixmap(counter.scaled(63, 34, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    counterLabel(lamps, QStringLiteral("ButtonRemain"), QRect(68, 4, 63, 34),
                 QStringLiteral("#1f3f58"));
    auto* green = placed<QLabel>(lamps, QStringLiteral("GreenLamp"), 131, 4, 65, 34);
    green->setPixmap(greenLamp.copy(0, 0, greenLamp.width() / 6, greenLamp.height())
                         .scaled(65, 34, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    counterLabel(lamps, QStringLiteral("GreenLabel"), QRect(131, 4, 65, 34));

    for (int n = 1; n <= AnswerRows; ++n) {
        const int top = RowHomeTop + RowPitch * (n - 1);
        auto* number = placed<QLabel>(buttonPanel_, QStringLiteral("Label%1").arg(n + 2), 12,
                                      top + 6, 18, 30, QString::number(n));
        number->setProperty("answerNumber", true);
        number->setStyleSheet(
            QStringLiteral("color: #a0a8b0; font-size: 24px; background: transparent;"));
        auto* memo = placed<QPlainTextEdit>(buttonPanel_, QStringLiteral("TestMemo%1").arg(n), 72,
                                            top, 665, 41);
        memo->setReadOnly(true);
        memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        memo->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        memo->setProperty("answerBox", true);
        memo->setStyleSheet(QStringLiteral("font-family: 'Liberation Sans', Arial; "
                                           "font-size: 15px;"));
        auto* button =
            placed<QPushButton>(buttonPanel_, QStringLiteral("TestBut%1").arg(n), 32, top, 41, 41);
        button->setProperty("answerButton", true);
        button->setFocusPolicy(Qt::NoFocus);
        auto* switchPanel = placed<QFrame>(
            buttonPanel_, QStringLiteral("spSkinPanel%1").arg(n + 11), 32, top, 41, 40);
        switchPanel->setProperty("switchPanel", true);
        auto* answerSwitch =
            placed<QCheckBox>(switchPanel, QStringLiteral("spSkinSwitch%1").arg(n), 4, 8, 33, 24);
        answerSwitch->setProperty("answerSwitch", true);
        switchPanel->hide();
    }
}

void QuestionPage::setPictureHeight(int height) {
    pictureHeight_ = qMax(0, height);
    alignAreas();
}

void QuestionPage::alignAreas() {
    const int w = width();
    const int h = height();
    toolBar_->setGeometry(0, 0, w, ToolBarHeight);
    buttonPanel_->setGeometry(0, h - AnswerAreaHeight, w, AnswerAreaHeight);
    voproc_->setGeometry(0, ToolBarHeight, w, qMax(0, h - ToolBarHeight - AnswerAreaHeight));
    const int pictureHeight = image16_->isVisibleTo(voproc_) ? pictureHeight_ : 0;
    image16_->setGeometry(0, 0, w, pictureHeight);
    vopros_->setGeometry(0, pictureHeight, w, qMax(0, voproc_->height() - pictureHeight));
}

void QuestionPage::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    alignAreas();
}

} // namespace korvel
