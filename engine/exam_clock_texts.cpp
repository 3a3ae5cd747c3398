#include "engine/exam_clock.h"
#include "engine/run_state.h"

namespace korvel {

ClockTexts countdownTexts(int elapsed, int limitMinutes) {
    const int minutes = limitMinutes - elapsed / 60 - 1;
    const int seconds = 59 - elapsed % 60;
    return {twoDigits(minutes), twoDigits(seconds)};
}

} // namespace korvel
