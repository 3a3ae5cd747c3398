#include "app/run_dialogs.h"

namespace korvel {

TicketChoiceDialog::TicketChoiceDialog(QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("TForm4"));
    setWindowTitle(QStringLiteral("Билеты"));
    setModal(true);
}

ExamInfoDialog::ExamInfoDialog(QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("Информация к Экзамену"));
    setModal(true);
}

} // namespace korvel
