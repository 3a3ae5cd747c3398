#pragma once

#include <QDialog>

class QLineEdit;
class QListWidget;

namespace korvel {

class RunEngine;

// The ticket-choice dialog TForm4 "Билеты": the check list of tickets
// spSkinListBox1 with "Все", "Очистить", "Инверт", "Выбрать" and "Отмена".
// It shows the run engine's ticket choice and ChosenTickets, sends every
// change to the engine and closes itself when the choice is no longer open.
class TicketChoiceDialog final : public QDialog {
    Q_OBJECT
public:
    static constexpr QSize ClientSize{173, 348};

    explicit TicketChoiceDialog(QWidget* parent = nullptr);

    void attach(RunEngine& engine);
    void draw();

public slots:
    // Esc and the caption bar's close button: "Отмена".
    void reject() override;

private:
    RunEngine* engine_ = nullptr;
    QListWidget* list_ = nullptr;
};

// The exam-information dialog TForm2 "Информация к Экзамену": the examinee's
// name spSkinEdit1, the drawn tickets spSkinEdit2, "Ок" and "Отмена".
class ExamInfoDialog final : public QDialog {
    Q_OBJECT
public:
    static constexpr QSize ClientSize{318, 148};

    explicit ExamInfoDialog(QWidget* parent = nullptr);

    void attach(RunEngine& engine);
    void draw();

public slots:
    void reject() override;

private:
    RunEngine* engine_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLineEdit* tickets_ = nullptr;
};

} // namespace korvel
