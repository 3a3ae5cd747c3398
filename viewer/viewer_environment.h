#pragma once

#include "engine/run_window.h"

#include <QString>
#include <functional>

class QPrinter;
class QSettings;

namespace korvel {

class MessageBoxes;

// Everything the journal window takes from its surroundings. main() hands in
// the real ones; tests hand in a folder, a store on a temporary file,
// scripted boxes and dialogs of their own.
struct ViewerEnvironment {
    // The program folder: the bases of past runs are looked for in its Base/.
    QString programFolder;
    // The program's settings key: Journal, JournalFile, JournalServer are
    // read from it, and the window keeps its own state in a group of it.
    QSettings* settings = nullptr;
    MessageBoxes* boxes = nullptr;
    // The save dialog: the full path chosen, or empty for cancel.
    // Empty: a QFileDialog with the request's title, folder, filters and name.
    std::function<QString(const SaveDialogRequest&)> saveFileName;
    // The print dialog: true when a printer was chosen and set up. Empty:
    // QPrintDialog.
    std::function<bool(QPrinter&)> choosePrinter;
};

} // namespace korvel
