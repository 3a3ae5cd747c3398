#include "app/korvel_application.h"
#include "app/main_window.h"
#include "app/skinned_message_boxes.h"
#include "resources/skin_style.h"
#include "sound/qt_sound_output.h"

#include <QSettings>

int main(int argc, char** argv) {
    korvel::KorvelApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zamtor KorvelTest"));
    korvel::installQtTranslations(application);
    application.setStyleSheet(korvel::skinStyleSheet());

    korvel::SkinnedMessageBoxes boxes;
    application.setFailureBoxes(&boxes);
    // Per-user over per-machine: see settings/settings_store.h.
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("ZamtorSoft"),
                       QStringLiteral("KorvelTest"));
    korvel::QtSoundOutput sound;

    korvel::ShellEnvironment environment;
    environment.programFolder = QApplication::applicationDirPath();
    environment.settings = &settings;
    environment.boxes = &boxes;
    environment.sound = &sound;

    korvel::TForm1 mainWindow(environment);
    boxes.setParent(&mainWindow);
    mainWindow.show();
    return application.exec();
}
