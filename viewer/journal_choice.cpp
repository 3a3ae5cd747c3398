#include "viewer/journal_choice.h"

#include "journal/journal_location.h"

#include <QSettings>

namespace korvel {

JournalChoice journalChoice(const QSettings& settings) {
    JournalChoice choice;
    choice.path = settings.value(QStringLiteral("JournalFile")).toString().trimmed();
    if (choice.path.isEmpty())
        choice.path = defaultJournalPath();
    bool ok = false;
    const int journal = settings.value(QStringLiteral("Journal"), 1).toInt(&ok);
    choice.recording = !ok || journal != 0;
    return choice;
}

} // namespace korvel
