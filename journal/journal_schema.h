#pragma once

class QSqlDatabase;
class QSqlError;

namespace korvel {

// The runs table of version 1, the same on a centre's server.
extern const char RunsTableVersion1[];

// The schema version this program writes (PRAGMA user_version).
inline constexpr int JournalSchemaVersion = 2;

enum class SchemaState {
    Ready,   // at JournalSchemaVersion, every table there
    Newer,   // written by a later version: read it, never write it
    Foreign, // an SQLite file, but not a journal
    Failed,  // a statement failed: see the error
};

struct SchemaCheck {
    SchemaState state = SchemaState::Failed;
    int version = 0; // the file's user_version
};

// What the file holds, without changing it. An empty file is Ready at
// version 0.
SchemaCheck inspectSchema(QSqlDatabase& db, QSqlError& error);

// Creates the tables in an empty file, or brings an older journal up to the
// current version, each step in one transaction with its user_version.
bool migrateSchema(QSqlDatabase& db, int fromVersion, QSqlError& error);

// What a reader can use: Ready for any version up to the current one whose
// tables are there (it reads the version-1 columns, which later versions keep).
SchemaCheck checkSchemaForReading(QSqlDatabase& db, QSqlError& error);

} // namespace korvel
