#pragma once

#include <QString>

namespace korvel {

// The program's journal when the settings name none: the application data
// folder of "ZamtorSoft"/"KorvelTest" (~/.local/share/ZamtorSoft/KorvelTest
// on Linux) and "journal.sqlite", whatever the calling program is called.
QString defaultJournalPath();

} // namespace korvel
