#pragma once

#include <QString>

class QSettings;

namespace korvel {

class MessageBoxes;

// The results journal's values in the settings key. They are read like the
// fourteen of the settings page (per-user over per-machine) but are not on
// it: a centre sets them for its stations.
struct JournalSettings {
    bool on = true;                 // Journal: 1 on, 0 off
    QString file;                   // JournalFile; empty: the program's default
    bool wallClockOnResume = false; // ResumeClock 1: the time the program was down counts
};

// A value that is not a 32-bit integer is reported ("Invalid data type for
// '...'") and keeps its default; the others are read all the same.
JournalSettings loadJournalSettings(QSettings& store, MessageBoxes& messages);

} // namespace korvel
