#pragma once

#include <QDialog>

namespace korvel {

// The ticket-choice dialog TForm4 "Билеты" and the exam-information dialog
// TForm2 "Информация к Экзамену". They are made at start with the other
// windows; the run starts fill them with their controls.
class TicketChoiceDialog final : public QDialog {
public:
    explicit TicketChoiceDialog(QWidget* parent = nullptr);
};

class ExamInfoDialog final : public QDialog {
public:
    explicit ExamInfoDialog(QWidget* parent = nullptr);
};

} // namespace korvel
