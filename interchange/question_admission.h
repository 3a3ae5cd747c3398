#pragma once

#include "question_bank.h"

#include <QList>

namespace korvel {

inline constexpr int MaxBankAnswers = 5;

// The answers (1-based) that count as right: for a single-answer question the
// one that earns full marks, otherwise every one that earns some.
QList<int> rightAnswers(const BankQuestion& question);

// Puts the question into the bank when the base can hold it (two to five
// answers, each with text, and right answers it can mark); otherwise, and for
// what it loses on the way, one warning line naming it.
void admitQuestion(BankQuestion question, QuestionBank& bank);

// Removes characters a base text cannot hold (NUL and the other controls
// but tab and line breaks) and makes every line break LF.
QString cleanText(const QString& text);

} // namespace korvel
