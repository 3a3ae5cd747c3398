// The keyboard of a run. Every key does what a click on a control the user
// sees would do at that moment, through that control, so a hidden or
// disabled control ignores its key as it ignores the mouse.
#include "app/answer_widgets.h"
#include "app/focused_button.h"
#include "app/question_page.h"
#include "engine/presentation.h"
#include "engine/run_engine.h"

#include <QPushButton>
#include <QShortcut>
#include <QToolButton>
#include <algorithm>

namespace korvel {

namespace {
QShortcut* shortcut(QWidget* page, std::initializer_list<QKeyCombination> keys) {
    auto* key = new QShortcut(page);
    QList<QKeySequence> sequences;
    for (const QKeyCombination combination : keys)
        sequences.append(QKeySequence(combination));
    key->setKeys(sequences);
    key->setAutoRepeat(false);
    return key;
}
} // namespace

void QuestionPage::buildKeys() {
    for (int label = 1; label <= AnswerRows; ++label) {
        const auto digit = Qt::Key(Qt::Key_0 + label);
        connect(
            shortcut(this, {QKeyCombination(digit), QKeyCombination(Qt::KeypadModifier, digit)}),
            &QShortcut::activated, this, [this, label] { answerKey(label); });
    }
    connect(shortcut(this, {QKeyCombination(Qt::Key_Return), QKeyCombination(Qt::Key_Enter),
                            QKeyCombination(Qt::KeypadModifier, Qt::Key_Enter)}),
            &QShortcut::activated, this, &QuestionPage::enterKey);
    for (const auto& [key, button] :
         {std::pair{Qt::Key_Left, backButton_}, std::pair{Qt::Key_Right, nextButton_},
          std::pair{Qt::Key_PageUp, prevBilet_}, std::pair{Qt::Key_PageDown, nextBilet_}}) {
        QAbstractButton* step = button;
        connect(shortcut(this, {QKeyCombination(key)}), &QShortcut::activated, this,
                [this, step] { stepKey(step); });
    }
}

// Digit n: the row beside label n, wherever the shuffle put it.
void QuestionPage::answerKey(int label) {
    if (!engine_)
        return;
    const int n = rowBesideLabel(engine_->page().rows, label);
    if (n == 0)
        return;
    const Row& row = rows_[size_t(n - 1)];
    QAbstractButton* control = row.panel->isVisible()
                                   ? static_cast<QAbstractButton*>(row.answerSwitch)
                                   : static_cast<QAbstractButton*>(row.button);
    if (control->isVisible() && control->isEnabled())
        control->click();
}

// Enter presses a focused button, as Space does; otherwise it confirms a
// choice made with the switches.
void QuestionPage::enterKey() {
    if (clickFocusedButton(this) || !engine_)
        return;
    const bool switches = std::any_of(rows_.begin(), rows_.end(),
                                      [](const Row& row) { return row.panel->isVisible(); });
    if (switches && confirm_->isVisible() && confirm_->isEnabled())
        confirm_->click();
}

// The steps wait for the lamp interval: the run moves on by itself then.
void QuestionPage::stepKey(QAbstractButton* step) {
    if (!engine_ || engine_->page().inLampInterval())
        return;
    if (step->isVisible() && step->isEnabled())
        step->click();
}

} // namespace korvel
