#pragma once

#include <QDateTime>
#include <QSqlError>
#include <QString>

class QSqlDatabase;

namespace korvel {

// How far a local journal's delivery to the server has got.
struct DeliveryState {
    int runsWaiting = 0;     // runs the server does not yet hold in full (running ones too)
    int runsNotOnServer = 0; // of those, runs the server has not heard of at all
    qint64 answersWaiting = 0;
    QString server;         // the last server tried, without its password
    QDateTime lastDelivery; // invalid: never
    QString lastError;      // empty after a success
    QDateTime lastErrorAt;
};

// From a journal file at any schema version (one that predates delivery has
// everything waiting).
bool readDeliveryState(const QSqlDatabase& db, int schemaVersion, DeliveryState& state,
                       QSqlError& error);

} // namespace korvel
