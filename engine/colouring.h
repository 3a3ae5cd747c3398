#pragma once

#include "engine/page_state.h"

#include <QByteArray>
#include <array>

namespace korvel {

// The five colour settings, Windows colour references, read at each use.
struct AnswerColours {
    int right = 0;   // TrueColor
    int wrong = 0;   // WrongColor
    int chosen = 0;  // ChoisColor
    int marked = 0;  // LabelColor
    int current = 0; // DefultColore
};

// memocolor on the rows of one question, whose chosen and right flags 1..5
// are given. In analysis the switches of chosen answers are turned on;
// otherwise switched-on rows take the marked colour.
void colourRows(std::array<AnswerRowState, AnswerRows>& rows, const QByteArray& chosen,
                const QByteArray& right, bool analysis, const AnswerColours& colours);

// A box after a confirmed multiple choice: right -> right colour, chosen ->
// wrong colour, both -> chosen colour, neither -> as it was.
int confirmedColour(bool chosen, bool right, int was, const AnswerColours& colours);

} // namespace korvel
