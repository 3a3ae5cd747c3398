#include "sound/qt_sound_output.h"

#include <QSoundEffect>
#include <QUrl>
#include <atomic>
#include <mutex>

namespace korvel {

namespace {

// Qt Multimedia warns "No audio device detected" once per effect, as each one
// finishes loading; the user needs to read it once.
QtMessageHandler nextHandler = nullptr;
std::atomic_bool noDeviceSaid = false;

void sayNoDeviceOnce(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text == QLatin1String("No audio device detected") && noDeviceSaid.exchange(true))
        return;
    nextHandler(type, context, text);
}

} // namespace

QStringList carriedSoundNames() {
    return {QStringLiteral("AWARDS"), QStringLiteral("BAD"), QStringLiteral("BOO"),
            QStringLiteral("CLICK"), QStringLiteral("GOOD")};
}

QString soundResourcePath(const QString& name) {
    if (!carriedSoundNames().contains(name))
        return {};
    return QStringLiteral(":/sounds/%1.wav").arg(name);
}

QtSoundOutput::QtSoundOutput() {
    static std::once_flag filtered;
    std::call_once(filtered, [] { nextHandler = qInstallMessageHandler(sayNoDeviceOnce); });
    for (const QString& name : carriedSoundNames()) {
        auto effect = std::make_shared<QSoundEffect>();
        effect->setSource(QUrl(QStringLiteral("qrc") + soundResourcePath(name)));
        effects_.insert(name, effect);
    }
}

QtSoundOutput::~QtSoundOutput() = default;

void QtSoundOutput::stopAll() {
    for (const auto& effect : std::as_const(effects_))
        effect->stop();
}

void QtSoundOutput::play(const QString& name) {
    const auto found = effects_.constFind(name);
    if (found != effects_.constEnd())
        (*found)->play();
}

bool QtSoundOutput::isReady(const QString& name) const {
    const auto found = effects_.constFind(name);
    return found != effects_.constEnd() && (*found)->status() == QSoundEffect::Ready;
}

} // namespace korvel
