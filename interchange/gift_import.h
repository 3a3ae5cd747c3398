#pragma once

#include "question_bank.h"

#include <QByteArray>

namespace korvel {

// A GIFT file (UTF-8, questions separated by blank lines, "$CATEGORY:" lines
// naming the category of the questions after them). Multiple choice (=, ~,
// ~%50%) and true/false ({T}, {FALSE} ...) questions are kept, true/false
// as the answers "Верно" and "Неверно"; every other kind is a warning.
QuestionBank importGift(const QByteArray& gift);

} // namespace korvel
