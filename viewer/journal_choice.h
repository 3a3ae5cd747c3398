#pragma once

#include <QString>

class QSettings;

namespace korvel {

// The journal the program's settings name: JournalFile, or the program's
// default file when it is empty. Journal = 0 only stops the program from
// recording; the runs recorded before stay worth looking at.
struct JournalChoice {
    QString path;
    bool recording = true; // Journal
};

JournalChoice journalChoice(const QSettings& settings);

} // namespace korvel
