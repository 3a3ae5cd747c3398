#include "engine/exam_clock.h"

#include "engine/run_engine.h"
#include "engine/run_window.h"
#include "settings/live_settings.h"

namespace korvel {

void RunEngine::EnabledWatch() {
    const QTime now = env_.timeOfDay();
    watchHour_ = now.hour();
    watchMinute_ = now.minute();
    page_.minText = QString::number(watchHour_);
    page_.secText = twoDigits(watchMinute_);
    timer4_.start();
    emitChanged();
}

void RunEngine::DisabledWatch() {
    page_.minText = QStringLiteral("00");
    page_.secText = QStringLiteral("00");
    timer4_.stop();
    emitChanged();
}

void RunEngine::Timer1Timer() {
    const int elapsed = ++page_.timeGoValue;
    recordExamTime();
    // The limit the exam started with (or was resumed with).
    const ClockTexts texts = countdownTexts(elapsed, page_.timeGoMaximum / 60);
    page_.minText = texts.min;
    page_.secText = texts.sec;
    page_.separatorVisible = !page_.separatorVisible;
    if (page_.timeGoValue < page_.timeGoMaximum) {
        emitChanged();
        return;
    }
    // The answer of a lamp interval still under way is counted off first,
    // so the run is graded once, on its true counts.
    endPendingLampInterval();
    endRun(RunEnding::TimeLimit);
}

void RunEngine::Timer4Timer() {
    const QTime now = env_.timeOfDay();
    if (now.hour() != watchHour_) {
        watchHour_ = now.hour();
        page_.minText = QString::number(watchHour_);
    }
    if (now.minute() != watchMinute_) {
        watchMinute_ = now.minute();
        page_.secText = twoDigits(watchMinute_);
    }
    page_.separatorVisible = !page_.separatorVisible;
    emitChanged();
}

} // namespace korvel
