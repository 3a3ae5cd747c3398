#pragma once

#include "platform/sound_output.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>

class QSoundEffect;

namespace korvel {

// The resource that carries a sound's data, "" for names without data ("EN",
// "VTEST" and anything unknown).
QString soundResourcePath(const QString& name);
// The five names that carry data, in alphabetical order.
QStringList carriedSoundNames();

// One QSoundEffect per WAV resource, loaded when the output is made so the
// first request does not wait for decoding.
class QtSoundOutput final : public SoundOutput {
public:
    QtSoundOutput();
    ~QtSoundOutput() override;
    QtSoundOutput(const QtSoundOutput&) = delete;
    QtSoundOutput& operator=(const QtSoundOutput&) = delete;

    void stopAll() override;
    void play(const QString& name) override;
    // True once the named effect's data is decoded and can be heard.
    bool isReady(const QString& name) const;

private:
    QHash<QString, std::shared_ptr<QSoundEffect>> effects_;
};

} // namespace korvel
