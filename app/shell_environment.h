#pragma once

#include <QString>
#include <QUrl>
#include <functional>

class QSettings;

namespace korvel {

class MessageBoxes;
class SoundOutput;

// Everything the main window takes from its surroundings. main() hands in the
// real ones; tests hand in a folder, a store, scripted boxes, a recording
// sound output and a short splash of their own.
struct ShellEnvironment {
    // The folder with Base/, Help/ and help.chm; main() gives the executable's.
    QString programFolder;
    // The settings key (main(): the per-machine native store).
    QSettings* settings = nullptr;
    MessageBoxes* boxes = nullptr;
    SoundOutput* sound = nullptr;
    // The splash timer's period; it closes on the 21st tick.
    int splashTickMs = 500;
    // Hands a document, page or mail address to the desktop; false when it
    // was not opened (help then tries the HTML guide). Empty: openWithDesktop.
    std::function<bool(const QUrl&)> openUrl;
};

} // namespace korvel
