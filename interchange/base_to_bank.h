#pragma once

#include "question_bank.h"

#include <QString>

namespace korvel {

// A base read through the program's own readers as a bank to export: one
// category per ticket ("<base name>/Билет <t>"), texts of RTF questions as
// HTML and of plain ones as plain text, pictures as their JPEG bytes, right
// answers as fractions (the right ones share 100 %, and in a multiple-answer
// question the wrong ones share -100 %). Questions the base cannot give
// whole are warnings.
struct BaseAsBank {
    QString name;
    QuestionBank bank;
    QString error; // the base does not open; nothing was read
};

BaseAsBank readBaseAsBank(const QString& path);

// The inside of <body> of QTextDocument::toHtml().
QString htmlBody(const QString& html);

} // namespace korvel
