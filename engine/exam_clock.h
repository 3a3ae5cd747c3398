#pragma once

#include <QString>

namespace korvel {

struct ClockTexts {
    QString min;
    QString sec;
};

// What the clock shows `elapsed` seconds into an exam of `limitMinutes`:
// the minutes and seconds left, less the second under way.
ClockTexts countdownTexts(int elapsed, int limitMinutes);

} // namespace korvel
