#include "engine/presentation.h"

#include <QList>

namespace korvel {

std::array<int, AnswerRows> shuffledTops(const std::array<AnswerRowState, AnswerRows>& rows,
                                         const std::function<int(int, int)>& random) {
    std::array<int, AnswerRows> tops{};
    for (int n = 1; n <= AnswerRows; ++n)
        tops[size_t(n - 1)] = rows[size_t(n - 1)].top;
    // Drawing among the undrawn numbers gives the same uniform order as
    // drawing again on a repeat, and ends whatever the source returns.
    QList<int> undrawn{0, 1, 2, 3, 4};
    int slot = 0;
    while (!undrawn.isEmpty()) {
        const int pick = qBound(0, random(0, int(undrawn.size()) - 1), int(undrawn.size()) - 1);
        const int r = undrawn.takeAt(pick);
        if (rows[size_t(r)].memoVisible)
            tops[size_t(r)] = rowHomeTop(++slot);
    }
    return tops;
}

int rowBesideLabel(const std::array<AnswerRowState, AnswerRows>& rows, int label) {
    if (label < 1 || label > AnswerRows)
        return 0;
    for (int n = 1; n <= AnswerRows; ++n) {
        const AnswerRowState& row = rows[size_t(n - 1)];
        if (row.memoVisible && row.top == rowHomeTop(label))
            return n;
    }
    return 0;
}

} // namespace korvel
