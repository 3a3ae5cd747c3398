#pragma once

#include <QString>
#include <QStringList>

namespace korvel {

// The platform's sound service: one stop for everything of ours, and a
// request by name that returns at once.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    virtual void stopAll() = 0;                 // stop whatever of ours is playing
    virtual void play(const QString& name) = 0; // asynchronous; unknown names play nothing
};

// Test double: records the requests in order as "stop" and "play CLICK".
class RecordingSoundOutput final : public SoundOutput {
public:
    QStringList events;

    void stopAll() override { events.append(QStringLiteral("stop")); }
    void play(const QString& name) override { events.append(QStringLiteral("play ") + name); }
};

} // namespace korvel
