#pragma once

#include <QList>
#include <QPair>
#include <QString>

class QSqlDatabase;

namespace korvel {

// A libpq connection string in keyword=value form ("host=db.centre
// dbname=korvel user=station07", or "service=NAME"), as the settings value
// JournalServer and the tool's --server hold it.
struct ServerConnection {
    QList<QPair<QString, QString>> parameters; // in the order written
    QString problem;                           // why it does not parse; empty when it does

    bool valid() const { return problem.isEmpty() && !parameters.isEmpty(); }
    // The string without its password, for messages and the journal file.
    QString shown() const;
    // What the QPSQL driver is handed: every parameter quoted, and a connect
    // timeout unless one is given, so an unreachable host is given up on in
    // seconds rather than after the system's TCP timeout.
    QString driverOptions() const;
};

ServerConnection parseServerConnection(const QString& text);

// Opens `db` (a QPSQL connection not yet opened) on the server. On failure
// `problem` holds a sentence naming the server (without its password).
bool openServer(QSqlDatabase& db, const ServerConnection& connection, QString& problem);

} // namespace korvel
