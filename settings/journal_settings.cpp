#include "settings/journal_settings.h"

#include "platform/message_boxes.h"
#include "settings/settings_store.h"

#include <QSettings>
#include <QVariant>

namespace korvel {

namespace {
std::optional<bool> storedFlag(QSettings& store, const QString& name, MessageBoxes& messages) {
    if (!store.contains(name))
        return std::nullopt;
    const std::optional<int> value = storedInt32(store.value(name));
    if (!value) {
        messages.error(QStringLiteral("Invalid data type for '%1'").arg(name));
        return std::nullopt;
    }
    return *value != 0;
}
} // namespace

JournalSettings loadJournalSettings(QSettings& store, MessageBoxes& messages) {
    JournalSettings journal;
    store.sync();
    if (store.status() != QSettings::NoError)
        return journal;
    journal.on = storedFlag(store, QStringLiteral("Journal"), messages).value_or(journal.on);
    journal.file = store.value(QStringLiteral("JournalFile")).toString().trimmed();
    journal.wallClockOnResume = storedFlag(store, QStringLiteral("ResumeClock"), messages)
                                    .value_or(journal.wallClockOnResume);
    return journal;
}

} // namespace korvel
