#include "ticket_dealing.h"

namespace korvel {

namespace {

// A base's descriptor allows 1..1000 of each.
constexpr qsizetype MaxCount = 1000;

std::optional<QList<QList<qsizetype>>> categoryTickets(const QList<BankQuestion>& questions) {
    QStringList categories;
    QList<QList<qsizetype>> tickets;
    for (qsizetype k = 0; k < questions.size(); ++k) {
        qsizetype index = categories.indexOf(questions[k].category);
        if (index < 0) {
            categories << questions[k].category;
            tickets << QList<qsizetype>{};
            index = tickets.size() - 1;
        }
        tickets[index] << k;
    }
    if (tickets.size() < 2 || tickets.size() > MaxCount || tickets.first().size() > MaxCount)
        return std::nullopt;
    for (const QList<qsizetype>& ticket : tickets) {
        if (ticket.size() != tickets.first().size())
            return std::nullopt;
    }
    return tickets;
}

} // namespace

TicketDealing dealTickets(const QList<BankQuestion>& questions, std::optional<int> perTicket) {
    TicketDealing dealing;
    if (questions.isEmpty()) {
        dealing.error = QStringLiteral("the bank holds no question that a base can hold");
        return dealing;
    }
    if (!perTicket) {
        if (std::optional<QList<QList<qsizetype>>> tickets = categoryTickets(questions)) {
            dealing.tickets = std::move(*tickets);
            dealing.byCategory = true;
            return dealing;
        }
    }
    const qsizetype size =
        std::min<qsizetype>(perTicket.value_or(DefaultQuestionsPerTicket), questions.size());
    if (size < 1 || size > MaxCount) {
        dealing.error = QStringLiteral("a ticket holds 1 to %1 questions").arg(MaxCount);
        return dealing;
    }
    const qsizetype count = questions.size() / size;
    if (count > MaxCount) {
        dealing.error = QStringLiteral("%1 questions make %2 tickets of %3, more than the %4 a "
                                       "base may hold; ask for more questions per ticket")
                            .arg(questions.size())
                            .arg(count)
                            .arg(size)
                            .arg(MaxCount);
        return dealing;
    }
    for (qsizetype t = 0; t < count; ++t) {
        QList<qsizetype> ticket;
        for (qsizetype q = 0; q < size; ++q)
            ticket << t * size + q;
        dealing.tickets << ticket;
    }
    for (qsizetype k = count * size; k < questions.size(); ++k)
        dealing.leftOut << questions[k].name;
    return dealing;
}

} // namespace korvel
