#pragma once

#include "question_bank.h"

#include <QByteArray>

namespace korvel {

// The questions as a Moodle XML <quiz>: a category question before each new
// category, then multichoice questions with HTML (or plain) texts, the
// picture embedded as a base64 <file> referenced from the text, and the
// answers with their fractions.
QByteArray exportMoodleXml(const QList<BankQuestion>& questions);

// A fraction as Moodle writes it: "100", "33.33333", "-50".
QString fractionText(double fraction);

} // namespace korvel
