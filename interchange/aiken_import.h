#pragma once

#include "question_bank.h"

#include <QByteArray>

namespace korvel {

// An Aiken file (UTF-8): the question's text, its answers "A. ..." or
// "A) ..." with the letters in order, and "ANSWER: C". Every question has
// one right answer; questions are named by the start of their text.
QuestionBank importAiken(const QByteArray& aiken);

} // namespace korvel
