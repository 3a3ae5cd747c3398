#include "app/korvel_application.h"
#include "app/skinned_message_boxes.h"
#include "resources/skin_style.h"
#include "viewer/journal_window.h"

#include <QSettings>

int main(int argc, char** argv) {
    korvel::KorvelApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KorvelJournal"));
    QApplication::setDesktopFileName(QStringLiteral("example.zamtorsoft.KorvelJournal"));
    korvel::installQtTranslations(application);
    application.setStyleSheet(korvel::skinStyleSheet());

    korvel::SkinnedMessageBoxes boxes;
    application.setFailureBoxes(&boxes);
    // The program's own key, per-user over per-machine: the journal it
    // records in, and a group for this window's state.
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("ZamtorSoft"),
                       QStringLiteral("KorvelTest"));

    korvel::ViewerEnvironment environment;
    environment.programFolder = QApplication::applicationDirPath();
    environment.settings = &settings;
    environment.boxes = &boxes;

    korvel::JournalWindow window(environment);
    boxes.setParent(&window);
    window.show();
    return application.exec();
}
