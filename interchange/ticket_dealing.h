#pragma once

#include "question_bank.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace korvel {

inline constexpr int DefaultQuestionsPerTicket = 10;

// Which questions of the bank go into which ticket.
struct TicketDealing {
    QList<QList<qsizetype>> tickets; // indices into the bank's questions, ticket by ticket
    bool byCategory = false;         // one ticket per category, in the bank's order
    QStringList leftOut;             // names of the remainder that fills no ticket
    QString error;                   // set when no base can be made
};

// The bank's categories become the tickets, in the order they first appear,
// when there are two or more and all hold the same number of questions and
// no `perTicket` is asked for. Otherwise the questions are dealt in order
// into tickets of `perTicket` (DefaultQuestionsPerTicket when not given);
// a bank smaller than that is one ticket of all its questions, and the
// remainder that does not fill a last ticket is left out.
TicketDealing dealTickets(const QList<BankQuestion>& questions, std::optional<int> perTicket);

} // namespace korvel
