#include "journal/journal_location.h"

#include <QCoreApplication>
#include <QStandardPaths>

namespace korvel {

QString defaultJournalPath() {
    // QStandardPaths builds the folder from the application's names; the
    // tool has names of its own, so lend it the program's for the call.
    const QString organisation = QCoreApplication::organizationName();
    const QString application = QCoreApplication::applicationName();
    QCoreApplication::setOrganizationName(QStringLiteral("ZamtorSoft"));
    QCoreApplication::setApplicationName(QStringLiteral("KorvelTest"));
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QCoreApplication::setOrganizationName(organisation);
    QCoreApplication::setApplicationName(application);
    return folder + QStringLiteral("/journal.sqlite");
}

} // namespace korvel
