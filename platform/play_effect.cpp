#include "platform/play_effect.h"

#include <utility>

namespace korvel {

SoundEffects::SoundEffects(SoundOutput& output, std::function<bool()> soundOn)
    : output_(output)
    , soundOn_(std::move(soundOn)) {}

void SoundEffects::PlayEffect(const QString& name) {
    output_.stopAll();
    if (soundOn_ && soundOn_())
        output_.play(name);
}

void SoundEffects::stop() {
    output_.stopAll();
}

} // namespace korvel
