#pragma once

#include "platform/sound_output.h"

#include <QString>
#include <functional>

namespace korvel {

// PlayEffect, the one sound operation of the program: every effect first cuts
// off the one still playing, so only one sound is ever heard; the sound switch
// is asked at each request so turning it off silences the next effect at once.
class SoundEffects {
public:
    SoundEffects(SoundOutput& output, std::function<bool()> soundOn);

    void PlayEffect(const QString& name); // stop always; then play when soundOn()
    void stop();                          // stops any sound without playing one

private:
    SoundOutput& output_;
    std::function<bool()> soundOn_;
};

} // namespace korvel
