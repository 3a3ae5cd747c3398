#include "journal/delivery_state.h"

#include "journal/journal_values.h"

#include <QSqlDatabase>
#include <QSqlQuery>

namespace korvel {

bool readDeliveryState(const QSqlDatabase& db, int schemaVersion, DeliveryState& state,
                       QSqlError& error) {
    state = {};
    QSqlQuery query(db);
    query.setForwardOnly(true);
    const bool tracked = schemaVersion >= 2;
    const QString counts =
        tracked ? QStringLiteral(
                      "SELECT count(*), coalesce(sum(run_sent = 0), 0), "
                      "(SELECT count(*) FROM answers a JOIN delivery w ON w.run_id = a.run_id "
                      "WHERE w.end_sent = 0 AND a.seq > w.answers_sent) "
                      "FROM delivery WHERE end_sent = 0")
                : QStringLiteral("SELECT count(*), count(*), (SELECT count(*) FROM answers) "
                                 "FROM runs");
    if (!query.exec(counts) || !query.next()) {
        error = query.lastError();
        return false;
    }
    state.runsWaiting = query.value(0).toInt();
    state.runsNotOnServer = query.value(1).toInt();
    state.answersWaiting = query.value(2).toLongLong();
    query.finish();
    if (!tracked)
        return true;
    if (!query.exec(QStringLiteral("SELECT server, last_delivery_at, last_error, last_error_at "
                                   "FROM delivery_status WHERE id = 1"))) {
        error = query.lastError();
        return false;
    }
    if (query.next()) {
        state.server = query.value(0).toString();
        state.lastDelivery = parseJournalTime(query.value(1));
        state.lastError = query.value(2).toString();
        state.lastErrorAt = parseJournalTime(query.value(3));
    }
    return true;
}

} // namespace korvel
