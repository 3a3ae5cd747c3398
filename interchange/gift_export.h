#pragma once

#include "question_bank.h"

#include <QByteArray>

namespace korvel {

// The questions as a GIFT file (UTF-8): a $CATEGORY line before each new
// category, then each question with its title, its format marker, its text
// (HTML with the picture inline as a data: URI) and its answers: "=" and "~"
// for a single-answer question, "~%50%" weights for a multiple-answer one.
QByteArray exportGift(const QList<BankQuestion>& questions);

// Text with GIFT's special characters (~ = # { } : \) escaped and line
// breaks written as \n, so that no blank line can end the question.
QString giftEscape(const QString& text);

} // namespace korvel
