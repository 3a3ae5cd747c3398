#pragma once

#include "engine/page_state.h"

#include <array>
#include <functional>

namespace korvel {

// The shuffle of the answer rows: the rows that are shown take the tops 48,
// 88, 128 ... in the order of five distinct uniform draws from 0..4; hidden
// rows keep their tops. `random(low, high)` draws uniformly, both included.
std::array<int, AnswerRows> shuffledTops(const std::array<AnswerRowState, AnswerRows>& rows,
                                         const std::function<int(int, int)>& random);

// The row standing beside number label `label` (1..5) after any shuffle: the
// shown row at that label's home top; 0 when none stands there.
int rowBesideLabel(const std::array<AnswerRowState, AnswerRows>& rows, int label);

// The overlay's gauge after a step of `amount`: never above 100.
constexpr int gaugeAfter(int gauge, int amount) {
    return gauge + amount > 100 ? 100 : gauge + amount;
}

} // namespace korvel
