#pragma once

#include "question_bank.h"

#include <QByteArray>

namespace korvel {

// A Moodle XML question bank (<quiz><question type="..."> ...). Categories
// become the questions' categories; multichoice and truefalse questions are
// kept, every other kind is a warning. A file that is not well-formed XML,
// or carries a DTD, gives an empty bank and one warning saying where.
QuestionBank importMoodleXml(const QByteArray& xml);

} // namespace korvel
