#include "sound/qt_sound_output.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QTest>

namespace {

int noDeviceWarnings = 0;

void countNoDevice(QtMsgType, const QMessageLogContext&, const QString& text) {
    if (text == QLatin1String("No audio device detected"))
        ++noDeviceWarnings;
}

} // namespace

class TestSoundWarning : public QObject {
    Q_OBJECT
private slots:
    // Every effect of every output finds the missing device when it has loaded.
    void noAudioDeviceIsSaidOnce() {
        qInstallMessageHandler(countNoDevice);
        {
            korvel::QtSoundOutput first;
            korvel::QtSoundOutput second;
            for (const QString& name : korvel::carriedSoundNames()) {
                QTRY_VERIFY(first.isReady(name));
                QTRY_VERIFY(second.isReady(name));
            }
        }
        QCOMPARE(noDeviceWarnings, QMediaDevices::audioOutputs().isEmpty() ? 1 : 0);
    }
};

QTEST_GUILESS_MAIN(TestSoundWarning)
#include "tst_sound_warning.moc"
