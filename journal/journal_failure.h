#pragma once

#include <QString>

class QSqlError;

namespace korvel {

// Why a journal cannot be used, from SQLite's result code.
enum class JournalFailure {
    Locked,     // another program holds the file
    ReadOnly,   // the file or its folder cannot be written
    DiskFull,   // no room on the disk (or a file size limit)
    WriteError, // the disk refused a write
    Damaged,    // not a database, or a damaged one
    Other,
};

JournalFailure classifyFailure(const QSqlError& error);

// SQLite's own words for the error, for the end of a message.
QString failureDetail(const QSqlError& error);

} // namespace korvel
