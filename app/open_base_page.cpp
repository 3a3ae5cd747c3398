#include "app/open_base_page.h"

#include "app/base_button.h"
#include "app/link_label.h"
#include "app/links.h"
#include "app/widget_helpers.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>

namespace korvel {

namespace {
constexpr int FirstButtonTop = 10;
constexpr int ButtonPitch = 30;
const QColor LinkColor(0x1f, 0x3f, 0x58);
const QColor LinkHoverColor(0, 0, 255);

QString baseButtonName(int number) {
    return QString::asprintf("ButtonOfBase%d", number);
}
} // namespace

OpenBasePage::OpenBasePage(QWidget* parent)
    : QFrame(parent) {
    setObjectName(QStringLiteral("OpenBasePanel"));
    setProperty("page", true);
    resize(745, 545);

    auto* internet = placed<QGroupBox>(this, QStringLiteral("spSkinGroupBox10"), 8, 8, 729, 73,
                                       QStringLiteral("Интернет"));
    addLink(internet, QStringLiteral("spSkinButtonLabel2"), 8, 17, 177,
            QStringLiteral("Скачать новые базы тестов"), newBasesUrl(),
            QStringLiteral(":/pictures/link_download.png"));
    addLink(internet, QStringLiteral("spSkinButtonLabel3"), 8, 43, 161,
            QStringLiteral("Посетить сайт компании"), homePageUrl(),
            QStringLiteral(":/pictures/link_site.png"));
    addLink(internet, QStringLiteral("spSkinButtonLabel13"), 208, 17, 177,
            QStringLiteral("Посмотреть обновления"), updatesUrl(),
            QStringLiteral(":/pictures/link_updates.png"));
    addLink(internet, QStringLiteral("spSkinButtonLabel14"), 208, 41, 193,
            QStringLiteral(" Обсудить KorvelTest на Форуме"), forumUrl(),
            QStringLiteral(":/pictures/link_forum.png"));
    addLink(internet, QStringLiteral("spSkinButtonLabel4"), 412, 17, 305,
            QStringLiteral("Написать письмо в службу технической поддержки"), supportMailUrl(),
            QStringLiteral(":/pictures/link_mail.png"));

    auto* list = placed<QGroupBox>(this, QStringLiteral("spSkinGroupBox5"), 8, 88, 241, 393,
                                   QStringLiteral("Выберите базу билетов и нажмите \"Ok\""));
    scrollBox_ = placed<QScrollArea>(list, QStringLiteral("spSkinScrollBox1"), 0, 16, 241, 377);
    scrollBox_->setFrameShape(QFrame::NoFrame);
    scrollBox_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrollBox_->setWidgetResizable(false);
    scrollContent_ = new QWidget;
    scrollContent_->setObjectName(QStringLiteral("spSkinScrollBoxContent"));
    scrollContent_->resize(225, 377);
    scrollBox_->setWidget(scrollContent_);
    scrollBox_->installEventFilter(this);

    radioGroup_ = new QButtonGroup(this);
    radioGroup_->setExclusive(true);
    sampleButton_ = placed<QPushButton>(scrollContent_, QStringLiteral("SampleButton"), ButtonLeft,
                                        FirstButtonTop, ButtonWidth, ButtonHeight);
    sampleButton_->setCheckable(true);
    sampleButton_->setFocusPolicy(Qt::NoFocus);
    sampleButton_->setProperty("baseButton", true);
    QFont bold = sampleButton_->font();
    bold.setBold(true);
    sampleButton_->setFont(bold);
    sampleButton_->hide();

    auto* details = placed<QGroupBox>(this, QStringLiteral("spSkinGroupBox6"), 264, 88, 473, 393,
                                      QStringLiteral("Подробная информация о выбранной базе."));
    image3_ = placed<QLabel>(details, QStringLiteral("Image3"), 8, 24, 457, 209);
    image3_->setScaledContents(true);
    descript_ = placed<QPlainTextEdit>(details, QStringLiteral("Descript"), 8, 240, 441, 145);
    descript_->setReadOnly(true);
    descript_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    changeBase_ = placed<QPushButton>(this, QStringLiteral("ChangeBase"), 368, 496, 145, 17,
                                      QStringLiteral("Обновить список баз"));
    ok_ = placed<QPushButton>(this, QStringLiteral("spSkinButton2"), 544, 496, 75, 17,
                              QStringLiteral("Ok"));
    exit_ = placed<QPushButton>(this, QStringLiteral("spSkinButton3"), 648, 496, 75, 17,
                                QStringLiteral("Выход"));
}

void OpenBasePage::addLink(QWidget* group, const QString& name, int left, int top, int width,
                           const QString& caption, const QUrl& address, const QString& picture) {
    auto* link = placed<LinkLabel>(group, name, left, top, width, 33, caption, address, LinkColor,
                                   LinkHoverColor);
    link->setPicture(
        QPixmap(picture).scaled(24, 24, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    connect(link, &LinkLabel::activated, this, &OpenBasePage::linkActivated);
    links_.append(link);
}

QPushButton* OpenBasePage::addBaseButton(const QString& caption, const QString& archiveName) {
    int number = 1;
    while (baseButton(number))
        ++number;
    const int top = FirstButtonTop + ButtonPitch * (number - 1);
    auto* button = placed<BaseButton>(scrollContent_, baseButtonName(number), ButtonLeft, top,
                                      ButtonWidth, ButtonHeight);
    button->setText(caption);
    button->setCheckable(true);
    button->setChecked(false);
    button->setFocusPolicy(sampleButton_->focusPolicy());
    button->setFont(sampleButton_->font());
    button->setProperty("baseButton", true);
    button->setToolTip(archiveName);
    button->setProperty("archive", archiveName);
    button->installEventFilter(this);
    radioGroup_->addButton(button);
    connect(button, &QPushButton::clicked, this, &OpenBasePage::baseButtonClicked);
    scrollContent_->resize(scrollContent_->width(),
                           qMax(scrollBox_->viewport()->height(), top + ButtonHeight + 10));
    button->show();
    return button;
}

void OpenBasePage::removeBaseButtons() {
    for (int number = 1; QPushButton* button = baseButton(number); ++number) {
        radioGroup_->removeButton(button);
        delete button;
    }
    scrollContent_->resize(scrollContent_->width(), scrollBox_->viewport()->height());
}

QPushButton* OpenBasePage::baseButton(int number) const {
    return scrollContent_->findChild<QPushButton*>(baseButtonName(number),
                                                   Qt::FindDirectChildrenOnly);
}

QPushButton* OpenBasePage::pressedBaseButton() const {
    for (int number = 1; QPushButton* button = baseButton(number); ++number) {
        if (button->isChecked())
            return button;
    }
    return nullptr;
}

void OpenBasePage::pressBaseButton(const QString& archiveName) {
    for (int number = 1; QPushButton* button = baseButton(number); ++number) {
        if (button->property("archive").toString() == archiveName) {
            button->setChecked(true);
            return;
        }
    }
    // An exclusive group keeps one button pressed; lift that rule to release all.
    radioGroup_->setExclusive(false);
    for (int number = 1; QPushButton* button = baseButton(number); ++number)
        button->setChecked(false);
    radioGroup_->setExclusive(true);
}

void OpenBasePage::scrollToTop() {
    scrollBox_->verticalScrollBar()->setValue(0);
}

bool OpenBasePage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Enter && watched->property("baseButton").toBool())
        emit baseButtonEntered();
    if (watched == scrollBox_ && event->type() == QEvent::KeyPress &&
        stepBase(static_cast<QKeyEvent*>(event)->key()))
        return true;
    return QFrame::eventFilter(watched, event);
}

// The base buttons take no focus; the list they stand in does, and there the
// arrows, Home and End press another base just as a click on it would.
bool OpenBasePage::stepBase(int key) {
    int count = 0;
    int pressed = 0;
    for (int number = 1; QPushButton* button = baseButton(number); ++number) {
        count = number;
        if (!pressed && button->isChecked())
            pressed = number;
    }
    int next = 0;
    switch (key) {
    case Qt::Key_Up:
        next = qMax(1, pressed - 1);
        break;
    case Qt::Key_Down:
        next = qMin(count, pressed + 1);
        break;
    case Qt::Key_Home:
        next = 1;
        break;
    case Qt::Key_End:
        next = count;
        break;
    default:
        return false;
    }
    if (count == 0 || next == pressed)
        return true;
    QPushButton* button = baseButton(next);
    scrollBox_->ensureWidgetVisible(button, 0, 10);
    if (button->isEnabled())
        button->click();
    return true;
}

} // namespace korvel
