#pragma once

#include "journal/journal.h"

#include <QSqlError>
#include <optional>

class QSqlDatabase;
class QSqlQuery;

namespace korvel {

// The columns of runs that readStoredRun and runFromRow read, in order, for
// queries that list runs.
extern const char* const StoredRunColumns;

// One row selected with StoredRunColumns, without answers, presentations or
// interruptions.
StoredRun runFromRow(const QSqlQuery& query);

// The whole run, or nullopt when there is none of that id (or a read failed:
// then `error` is set).
std::optional<StoredRun> readStoredRun(const QSqlDatabase& db, const QString& runId,
                                       QSqlError& error);

} // namespace korvel
