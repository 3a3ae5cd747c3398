#pragma once

#include "engine/run_state.h"

#include <QString>

namespace korvel {

// The question after (step +1) or before (step -1) q, wrapping within 1..count.
int wrapped(int q, int step, int count);

// The first unanswered question of a ticket at or after `from`, wrapping;
// 0 when the ticket has none. A question passed over counts as answered here.
int firstUnansweredFrom(const RunState& state, int ticket, int from);
// The same searching backward from `from`.
int lastUnansweredFrom(const RunState& state, int ticket, int from);

// Answered questions of a ticket; a ticket outside the run counts as full.
int answeredCount(const RunState& state, int ticket);

// The ticket step's search from `start` in `direction` (+1, -1): the next
// chosen ticket with an unanswered question, the start ticket examined last.
// 0 when the search gives up, on its move TicketCount + 2.
int searchTicket(const RunState& state, int start, int direction);

// The next (+1) or previous (-1) chosen ticket, at least one move away,
// wrapping; `start` itself when it is the only one.
int nextChosenTicket(const RunState& state, int start, int direction);

// The answer listing of a ticket step that gave up: per ticket a line
// "Билет: t", per question "Вопрос: q/// - " and its five chosen flags.
QString answerListing(const RunState& state);

} // namespace korvel
