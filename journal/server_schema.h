#pragma once

#include <QString>

class QSqlDatabase;

namespace korvel {

// The version of the journal tables on a centre's server (the table
// journal_version). It counts on its own: the server holds the journal's
// version-1 tables and columns, without the local delivery bookkeeping.
inline constexpr int ServerSchemaVersion = 1;

// The roles an administrator makes logins members of.
inline constexpr char StationRole[] = "korvel_station"; // adds rows, reads nothing
inline constexpr char ViewerRole[] = "korvel_viewer";   // reads everything

// Creates the tables, the end function and the two roles, or brings an older
// server schema up to this version; grants are set anew every time. Run by
// the database's owner (or a superuser). False with a sentence in `problem`.
bool initServerSchema(QSqlDatabase& db, QString& problem);

// Whether the server holds a journal this program can write to and read.
// False with a sentence in `problem`: no journal there, another version.
bool checkServerSchema(QSqlDatabase& db, QString& problem);

} // namespace korvel
