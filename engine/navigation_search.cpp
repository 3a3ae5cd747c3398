#include "engine/navigation.h"

namespace korvel {

int wrapped(int q, int step, int count) {
    if (count < 1)
        return 0;
    return ((q - 1 + step) % count + count) % count + 1;
}

namespace {
int unansweredScan(const RunState& state, int ticket, int from, int step) {
    const int count = state.QuestionsPerTicket;
    if (count < 1)
        return 0;
    int q = from < 1 || from > count ? 1 : from;
    for (int k = 0; k < count; ++k, q = wrapped(q, step, count)) {
        if (!state.isDone(ticket, q))
            return q;
    }
    return 0;
}
} // namespace

int firstUnansweredFrom(const RunState& state, int ticket, int from) {
    return unansweredScan(state, ticket, from, +1);
}

int lastUnansweredFrom(const RunState& state, int ticket, int from) {
    return unansweredScan(state, ticket, from, -1);
}

int answeredCount(const RunState& state, int ticket) {
    if (!state.isChosen(ticket))
        return state.QuestionsPerTicket;
    int answered = 0;
    for (int q = 1; q <= state.QuestionsPerTicket; ++q)
        answered += state.isDone(ticket, q) ? 1 : 0;
    return answered;
}

int searchTicket(const RunState& state, int start, int direction) {
    int ticket = start;
    for (int moves = 1; moves <= state.TicketCount + 1; ++moves) {
        ticket = wrapped(ticket, direction, state.TicketCount);
        if (answeredCount(state, ticket) < state.QuestionsPerTicket)
            return ticket;
    }
    return 0;
}

int nextChosenTicket(const RunState& state, int start, int direction) {
    int ticket = start;
    for (int moves = 0; moves < state.TicketCount; ++moves) {
        ticket = wrapped(ticket, direction, state.TicketCount);
        if (state.isChosen(ticket))
            return ticket;
    }
    return start;
}

QString answerListing(const RunState& state) {
    QString listing;
    listing.reserve(qsizetype(state.TicketCount) * (16 + state.QuestionsPerTicket * 24));
    for (int t = 1; t <= state.TicketCount; ++t) {
        listing += QStringLiteral("Билет: ") + QString::number(t) + QLatin1Char('\n');
        for (int q = 1; q <= state.QuestionsPerTicket; ++q) {
            listing += QStringLiteral("Вопрос: ") + QString::number(q) + QStringLiteral("/// - ");
            for (int n = 1; n <= AnswerMatrix::AnswerCount; ++n)
                listing += state.ChosenAnswers.flag(t, q, n) ? QLatin1Char('1') : QLatin1Char('0');
            listing += QLatin1Char('\n');
        }
    }
    return listing;
}

} // namespace korvel
