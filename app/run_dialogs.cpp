#include "app/run_dialogs.h"

#include "app/widget_helpers.h"
#include "engine/run_engine.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>

namespace korvel {

namespace {
// Fixed size and place, a caption bar that offers only closing.
void makeFixedDialog(QDialog& dialog, const QString& name, const QString& caption,
                     const QSize& clientSize) {
    dialog.setObjectName(name);
    dialog.setWindowTitle(caption);
    dialog.setModal(true);
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    dialog.setFixedSize(clientSize);
}

void centreOnScreen(QDialog& dialog) {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        dialog.move(screen->availableGeometry().center() - dialog.rect().center());
}

QPushButton* dialogButton(QDialog* dialog, const QString& name, const QRect& place,
                          const QString& caption) {
    auto* button = placed<QPushButton>(dialog, name, place.x(), place.y(), place.width(),
                                       place.height(), caption);
    button->setAutoDefault(false);
    // Own look: the skin styles other controls of these names (main menu).
    button->setStyleSheet(QStringLiteral(
        "padding: 1px 2px; font-size: 8pt; font-weight: normal; text-align: center;"));
    return button;
}
} // namespace

TicketChoiceDialog::TicketChoiceDialog(QWidget* parent)
    : QDialog(parent) {
    makeFixedDialog(*this, QStringLiteral("TForm4"), QStringLiteral("Билеты"), ClientSize);
    placed<QLabel>(this, QStringLiteral("spSkinLabel9"), 8, 6, 157, 18,
                   QStringLiteral("Выберите номера билетов..."));
    list_ = placed<QListWidget>(this, QStringLiteral("spSkinListBox1"), 8, 26, 157, 250);
    list_->setAccessibleName(QStringLiteral("Билеты"));
    list_->setStyleSheet(QStringLiteral(
        "QListWidget::indicator { width: 11px; height: 11px; border: 1px solid #8ea2b4;"
        " background: #ffffff; }"
        "QListWidget::indicator:checked { background: #2e5e82; border-color: #1f3f58;"
        " image: url(:/pictures/check_mark.png); }"));
    dialogButton(this, QStringLiteral("spSkinButton16"), QRect(8, 284, 49, 24),
                 QStringLiteral("Все"));
    dialogButton(this, QStringLiteral("spSkinButton19"), QRect(60, 284, 53, 24),
                 QStringLiteral("Очистить"));
    dialogButton(this, QStringLiteral("spSkinButton22"), QRect(116, 284, 49, 24),
                 QStringLiteral("Инверт"));
    dialogButton(this, QStringLiteral("spSkinButton1"), QRect(8, 316, 76, 24),
                 QStringLiteral("Выбрать"))
        ->setDefault(true);
    dialogButton(this, QStringLiteral("spSkinButton2"), QRect(89, 316, 76, 24),
                 QStringLiteral("Отмена"));
    centreOnScreen(*this);
}

void TicketChoiceDialog::attach(RunEngine& engine) {
    engine_ = &engine;
    connect(engine_, &RunEngine::changed, this, &TicketChoiceDialog::draw);
    const auto clicked = [this](const char* name, void (RunEngine::*handler)()) {
        connect(findChild<QPushButton*>(QLatin1String(name)), &QPushButton::clicked, engine_,
                handler);
    };
    clicked("spSkinButton16", &RunEngine::TicketsAllClick);
    clicked("spSkinButton19", &RunEngine::TicketsClearClick);
    clicked("spSkinButton22", &RunEngine::TicketsInvertClick);
    clicked("spSkinButton1", &RunEngine::TicketsChooseClick);
    clicked("spSkinButton2", &RunEngine::TicketsCancelClick);
    connect(list_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        engine_->setTicketChecked(list_->row(item), item->checkState() == Qt::Checked);
    });
    connect(list_, &QListWidget::currentRowChanged, engine_, &RunEngine::setTicketRow);
    draw();
}

void TicketChoiceDialog::draw() {
    if (!engine_)
        return;
    const QList<bool>& chosen = engine_->state().ChosenTickets;
    {
        const QSignalBlocker blocker(list_);
        if (list_->count() != chosen.size()) {
            list_->clear();
            for (int t = 1; t <= chosen.size(); ++t) {
                auto* item = new QListWidgetItem(QStringLiteral("Билет номер - %1").arg(t));
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
                item->setCheckState(Qt::Unchecked);
                list_->addItem(item);
            }
        }
        for (int row = 0; row < chosen.size(); ++row) {
            const Qt::CheckState state = chosen.at(row) ? Qt::Checked : Qt::Unchecked;
            if (list_->item(row)->checkState() != state)
                list_->item(row)->setCheckState(state);
        }
        const int current = engine_->ticketChoice().currentRow;
        if (current >= 0 && current < list_->count() && list_->currentRow() != current)
            list_->setCurrentRow(current);
    }
    list_->viewport()->update();
    if (!engine_->ticketChoice().open && isVisible())
        QDialog::done(QDialog::Rejected);
}

void TicketChoiceDialog::reject() {
    if (engine_ && engine_->ticketChoice().open)
        engine_->TicketsCancelClick();
    else
        QDialog::reject();
}

ExamInfoDialog::ExamInfoDialog(QWidget* parent)
    : QDialog(parent) {
    makeFixedDialog(*this, QStringLiteral("TForm2"), QStringLiteral("Информация к Экзамену"),
                    ClientSize);
    placed<QLabel>(this, QStringLiteral("spSkinLabel1"), 10, 6, 298, 18,
                   QStringLiteral("Введите Фамилию Имя Отчество"));
    name_ = placed<QLineEdit>(this, QStringLiteral("spSkinEdit1"), 10, 25, 298, 22);
    name_->setAccessibleName(QStringLiteral("Фамилия Имя Отчество"));
    placed<QLabel>(this, QStringLiteral("spSkinLabel2"), 10, 55, 298, 18,
                   QStringLiteral("Выбранные Билеты на Экзамен"));
    tickets_ = placed<QLineEdit>(this, QStringLiteral("spSkinEdit2"), 10, 74, 298, 22);
    tickets_->setReadOnly(true);
    tickets_->setAccessibleName(QStringLiteral("Выбранные Билеты на Экзамен"));
    dialogButton(this, QStringLiteral("spSkinButton1"), QRect(66, 112, 85, 25),
                 QStringLiteral("Ок"))
        ->setDefault(true);
    dialogButton(this, QStringLiteral("spSkinButton2"), QRect(167, 112, 85, 25),
                 QStringLiteral("Отмена"));
    centreOnScreen(*this);
}

void ExamInfoDialog::attach(RunEngine& engine) {
    engine_ = &engine;
    connect(engine_, &RunEngine::changed, this, &ExamInfoDialog::draw);
    connect(findChild<QPushButton*>(QStringLiteral("spSkinButton1")), &QPushButton::clicked,
            engine_, &RunEngine::ExamOkClick);
    connect(findChild<QPushButton*>(QStringLiteral("spSkinButton2")), &QPushButton::clicked,
            engine_, &RunEngine::ExamCancelClick);
    connect(name_, &QLineEdit::textEdited, engine_, &RunEngine::setExamineeName);
    draw();
}

void ExamInfoDialog::draw() {
    if (!engine_)
        return;
    const ExamInfoState& info = engine_->examInfo();
    if (name_->text() != info.spSkinEdit1)
        name_->setText(info.spSkinEdit1);
    if (tickets_->text() != info.spSkinEdit2)
        tickets_->setText(info.spSkinEdit2);
    if (!info.open && isVisible())
        QDialog::done(QDialog::Rejected);
}

void ExamInfoDialog::reject() {
    if (engine_ && engine_->examInfo().open)
        engine_->ExamCancelClick();
    else
        QDialog::reject();
}

} // namespace korvel
