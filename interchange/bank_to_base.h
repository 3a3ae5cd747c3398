#pragma once

#include "question_bank.h"
#include "ticket_dealing.h"
#include "tools/korvelbase/base_source.h"

#include <QString>
#include <QStringList>

namespace korvel {

// The descriptor values a bank cannot give.
struct BaseDescription {
    QString name;
    QStringList descript; // lines
    QStringList pozdr;
    QStringList izdevat;
};

// The base of the dealt questions, every byte ready for writeBaseArchive:
// HTML texts as RTF, plain ones as Windows-1251 text (RTF when they hold a
// character that page lacks), answers in Windows-1251 with '?' for such
// characters, pictures as JPEG. What is lost is one warning line per
// question; descriptor values that cannot be written are errors.
BaseSource bankToBase(const QuestionBank& bank, const TicketDealing& dealing,
                      const BaseDescription& description);

// The question text as a base stores it (T.<q>).
QByteArray baseQuestionText(const BankQuestion& question);

} // namespace korvel
