#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace korvel {

// One answer as the bank gives it: plain text and the share of the marks it
// earns, in percent (negative for a penalty).
struct BankAnswer {
    QString text;
    double fraction = 0;
};

// A question of a question bank, whatever the format it came from.
struct BankQuestion {
    QString category; // "Safety/Fire", empty when the bank has none
    QString name;     // what the author calls it; warnings name it
    QString text;     // HTML when `html`, otherwise plain text with LF breaks
    bool html = false;
    QList<BankAnswer> answers;
    // One answer is chosen (answer buttons); otherwise any number are ticked.
    bool single = true;
    QByteArray picture; // the first embedded picture as found (PNG, GIF, JPEG ...)
};

// Questions that the base can hold, in the bank's order; everything left out
// on the way is one line of `warnings`, naming the question.
struct QuestionBank {
    QList<BankQuestion> questions;
    QStringList warnings;
};

// A line of a warning or refusal about one question.
QString aboutQuestion(const QString& name, const QString& what);

// A category path as a ticket's name: "$course$/top/Fire/Extinguishers"
// becomes "Fire/Extinguishers".
QString categoryPath(const QString& path);

} // namespace korvel
