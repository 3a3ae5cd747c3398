#include "engine/colouring.h"

namespace korvel {

namespace {
bool flagOf(const QByteArray& cell, int n) {
    return n - 1 < cell.size() && cell.at(n - 1) != 0;
}
} // namespace

void colourRows(std::array<AnswerRowState, AnswerRows>& rows, const QByteArray& chosen,
                const QByteArray& right, bool analysis, const AnswerColours& colours) {
    bool answered = false;
    for (int n = 1; n <= AnswerRows; ++n)
        answered = answered || flagOf(chosen, n);
    for (int n = 1; n <= AnswerRows; ++n) {
        AnswerRowState& row = rows[size_t(n - 1)];
        if (flagOf(right, n) && answered)
            row.color = colours.right;
        if (flagOf(chosen, n)) {
            if (analysis)
                row.switchOn = true;
            row.color = colours.wrong;
        }
        if (flagOf(chosen, n) && flagOf(right, n))
            row.color = colours.chosen;
    }
    if (analysis)
        return;
    for (AnswerRowState& row : rows) {
        if (row.switchOn)
            row.color = colours.marked;
    }
}

int confirmedColour(bool chosen, bool right, int was, const AnswerColours& colours) {
    if (chosen && right)
        return colours.chosen;
    if (chosen)
        return colours.wrong;
    if (right)
        return colours.right;
    return was;
}

} // namespace korvel
