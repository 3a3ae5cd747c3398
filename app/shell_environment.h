#pragma once

#include "engine/run_window.h"

#include <QDateTime>
#include <QString>
#include <QTime>
#include <QUrl>
#include <functional>

class QDialog;
class QPrinter;
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
    // A uniform whole number from low to high, both included: the exam draw,
    // the answer shuffle, the result texts. Empty: a generator seeded from
    // the clock.
    std::function<int(int low, int high)> random;
    // The time of day the question page's clock shows. Empty: the local time.
    std::function<QTime()> timeOfDay;
    // The moment, in UTC, the results journal records and resuming measures
    // from. Empty: the system clock.
    std::function<QDateTime()> utcNow;
    // Shows a modal dialog of the run (TForm4, TForm2) and returns once the
    // user is done with it. Empty: QDialog::exec(). A test hands in a
    // function that works the dialog's controls while it is shown; a dialog
    // still open when the function returns is closed as by its close button.
    std::function<void(QDialog&)> runDialog;
    // The report's save dialog: the full path chosen, or empty for cancel.
    // Empty: a QFileDialog with the request's title, folder, filters and name.
    std::function<QString(const SaveDialogRequest&)> saveFileName;
    // The print dialog: true when the user chose a printer and set `printer`
    // up for it. Empty: QPrintDialog.
    std::function<bool(QPrinter&)> choosePrinter;
};

} // namespace korvel
