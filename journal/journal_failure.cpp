#include "journal/journal_failure.h"

#include <QSqlError>

namespace korvel {

namespace {

// SQLite's primary result codes (the low byte of an extended one).
enum SqliteCode {
    Busy = 5,
    Locked = 6,
    ReadOnly = 8,
    IoError = 10,
    Corrupt = 11,
    Full = 13,
    CantOpen = 14,
    NotADatabase = 26,
};

} // namespace

JournalFailure classifyFailure(const QSqlError& error) {
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok) & 0xff;
    if (!ok)
        return JournalFailure::Other;
    switch (code) {
    case Busy:
    case Locked:
        return JournalFailure::Locked;
    case ReadOnly:
    case CantOpen:
        return JournalFailure::ReadOnly;
    case Full:
        return JournalFailure::DiskFull;
    case IoError:
        return JournalFailure::WriteError;
    case Corrupt:
    case NotADatabase:
        return JournalFailure::Damaged;
    default:
        return JournalFailure::Other;
    }
}

QString failureDetail(const QSqlError& error) {
    const QString detail =
        error.databaseText().isEmpty() ? error.driverText() : error.databaseText();
    return detail.trimmed();
}

} // namespace korvel
