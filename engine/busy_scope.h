#pragma once

#include "engine/run_engine.h"

namespace korvel {

// Disables the window and shows the overlay; every way out, errors
// included, enables the window and hides the overlay again.
class RunEngine::BusyScope {
public:
    explicit BusyScope(RunEngine& engine)
        : engine_(engine) {
        engine_.busy_.windowEnabled = false;
        engine_.busy_.overlayVisible = true;
        engine_.busy_.gauge = 1;
        engine_.busy_.gaugeMaximum = 100;
    }
    ~BusyScope() {
        engine_.busy_.overlayVisible = false;
        engine_.busy_.windowEnabled = true;
        engine_.emitChanged();
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    RunEngine& engine_;
};

} // namespace korvel
