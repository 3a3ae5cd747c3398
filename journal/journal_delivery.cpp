#include "journal/journal_delivery.h"

#include "journal/journal_rows.h"
#include "journal/journal_schema.h"
#include "journal/journal_values.h"
#include "journal/server_schema.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <atomic>

namespace korvel {

namespace {

// A background writer may wait for the program's own short commits.
constexpr int LocalBusyTimeoutMs = 5000;

QString connectionName(const char* what) {
    static std::atomic<int> counter{0};
    return QStringLiteral("korvel-delivery-%1-%2").arg(QLatin1String(what)).arg(++counter);
}

QString errorText(const QSqlError& error) {
    const QString text = error.databaseText().isEmpty() ? error.driverText() : error.databaseText();
    return text.simplified();
}

// The server refused the rows themselves (a value, a key, the end function),
// not the connection or the rights: other runs may still go through.
bool isDataProblem(const QSqlError& error) {
    const QString state = error.nativeErrorCode();
    return state.startsWith(QLatin1String("22")) || state.startsWith(QLatin1String("23")) ||
           state.startsWith(QLatin1String("P0"));
}

} // namespace

struct JournalDelivery::WaitingRun {
    QString runId;
    bool runSent = false;
    qint64 answersSent = 0;
    qint64 presentedSent = 0;
    qint64 interruptionsSent = 0;
    qint64 lastSeq = 0;
    qint64 presentedCount = 0;
    qint64 interruptionsCount = 0;
    bool ended = false;

    JournalRow start;
    JournalRow end; // the end columns, then exam_time_used_s and last_seen_at
    QList<JournalRow> answers, presented, interruptions;

    bool waiting() const {
        return !runSent || lastSeq > answersSent || presentedCount > presentedSent ||
               interruptionsCount > interruptionsSent || ended;
    }
};

JournalDelivery::JournalDelivery(const QString& journalPath, const QString& server)
    : journalPath_(QDir::cleanPath(journalPath))
    , server_(parseServerConnection(server))
    , localName_(connectionName("local"))
    , serverName_(connectionName("server")) {}

JournalDelivery::~JournalDelivery() {
    for (const QString& name : {localName_, serverName_}) {
        if (QSqlDatabase::contains(name)) {
            QSqlDatabase::database(name, false).close();
            QSqlDatabase::removeDatabase(name);
        }
    }
}

bool JournalDelivery::fail(const QString& problem) {
    problem_ = problem;
    if (!localOpen_ || problem == recordedProblem_)
        return false;
    // Kept in the file so that another process (korvelbase journal status)
    // can tell why runs wait; written once per new problem, not per retry.
    QSqlQuery query(QSqlDatabase::database(localName_, false));
    query.prepare(QStringLiteral("UPDATE delivery_status SET server = ?, last_error = ?, "
                                 "last_error_at = ?, last_attempt_at = ? WHERE id = 1"));
    const QVariant now = journalTime(QDateTime::currentDateTimeUtc());
    query.addBindValue(server_.shown());
    query.addBindValue(problem);
    query.addBindValue(now);
    query.addBindValue(now);
    if (query.exec())
        recordedProblem_ = problem;
    return false;
}

bool JournalDelivery::openLocal() {
    if (localOpen_)
        return true;
    const QString shownPath = QDir::toNativeSeparators(journalPath_);
    if (!QFileInfo(journalPath_).isFile())
        return fail(QStringLiteral("there is no journal file %1").arg(shownPath));
    QSqlDatabase db = QSqlDatabase::contains(localName_)
                          ? QSqlDatabase::database(localName_, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), localName_);
    db.setDatabaseName(journalPath_);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(LocalBusyTimeoutMs));
    if (!db.open())
        return fail(QStringLiteral("cannot open the journal %1: %2")
                        .arg(shownPath, errorText(db.lastError())));
    QSqlError error;
    const SchemaCheck schema = checkSchemaForReading(db, error);
    QString why;
    switch (schema.state) {
    case SchemaState::Ready:
        // A journal carried from an older program gains the delivery tables.
        if (schema.version < JournalSchemaVersion && !migrateSchema(db, schema.version, error))
            why = QStringLiteral("cannot bring it up to date: %1").arg(errorText(error));
        break;
    case SchemaState::Newer:
        why = QStringLiteral("it was written by a newer version of the program (schema "
                             "version %1)")
                  .arg(schema.version);
        break;
    case SchemaState::Foreign:
        why = QStringLiteral("it is not a results journal");
        break;
    case SchemaState::Failed:
        why = errorText(error);
        break;
    }
    if (!why.isEmpty()) {
        db.close();
        return fail(QStringLiteral("cannot use the journal %1: %2").arg(shownPath, why));
    }
    // The marks of what was delivered may be lost in a power cut without
    // harm: those rows are sent again and stored once. So this connection
    // spares the disk the program's full synchronisation.
    QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous = NORMAL"));
    localOpen_ = true;
    return true;
}

bool JournalDelivery::openServer() {
    if (serverOpen_)
        return true;
    QSqlDatabase db = QSqlDatabase::contains(serverName_)
                          ? QSqlDatabase::database(serverName_, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), serverName_);
    QString why;
    if (!korvel::openServer(db, server_, why))
        return fail(why);
    if (!checkServerSchema(db, why)) {
        db.close();
        return fail(QStringLiteral("the server %1: %2").arg(server_.shown(), why));
    }
    serverOpen_ = true;
    return true;
}

void JournalDelivery::closeServer() {
    serverOpen_ = false;
    if (QSqlDatabase::contains(serverName_))
        QSqlDatabase::database(serverName_, false).close();
}

bool JournalDelivery::readWaiting(int maxRuns, QList<WaitingRun>& runs, bool& more) {
    QSqlQuery query(QSqlDatabase::database(localName_, false));
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral(
            "SELECT d.run_id, d.run_sent, d.answers_sent, d.presented_sent, "
            "d.interruptions_sent, "
            "(SELECT coalesce(max(seq), 0) FROM answers a WHERE a.run_id = d.run_id), "
            "(SELECT count(*) FROM presented p WHERE p.run_id = d.run_id), "
            "(SELECT count(*) FROM interruptions i WHERE i.run_id = d.run_id), "
            "r.ended_at IS NOT NULL "
            "FROM delivery d JOIN runs r ON r.run_id = d.run_id "
            "WHERE d.end_sent = 0 ORDER BY r.started_at, d.run_id")))
        return fail(
            QStringLiteral("cannot read the journal: %1").arg(errorText(query.lastError())));
    more = false;
    while (query.next()) {
        WaitingRun run;
        run.runId = query.value(0).toString();
        run.runSent = query.value(1).toInt() != 0;
        run.answersSent = query.value(2).toLongLong();
        run.presentedSent = query.value(3).toLongLong();
        run.interruptionsSent = query.value(4).toLongLong();
        run.lastSeq = query.value(5).toLongLong();
        run.presentedCount = query.value(6).toLongLong();
        run.interruptionsCount = query.value(7).toLongLong();
        run.ended = query.value(8).toInt() != 0;
        if (!run.waiting() || refused_.contains(run.runId))
            continue;
        if (runs.size() == maxRuns) {
            more = true;
            break;
        }
        runs.append(run);
    }
    return true;
}

bool JournalDelivery::readRows(WaitingRun& run) {
    const QSqlDatabase db = QSqlDatabase::database(localName_, false);
    QSqlError error;
    QList<JournalRow> whole;
    bool ok = selectRunRows(db, wholeRunsTable(), run.runId, whole, error) && !whole.isEmpty();
    if (ok) {
        const JournalRow& row = whole.first();
        const qsizetype starts = runStartTable().columns.size();
        run.start = row.mid(0, starts);
        run.end = row.mid(starts);
        const qsizetype startColumn =
            runStartTable().columns.indexOf(QStringLiteral("exam_time_used_s"));
        run.end << row[startColumn] << row[startColumn + 1];
    }
    // Presentations and interruptions have no order the sender could resume
    // from, so a run with new ones sends all of its own again; the server
    // keeps the first of each.
    ok = ok &&
         selectRunRows(db, answersTable(), run.runId, run.answers, error, QStringLiteral("seq > ?"),
                       {run.answersSent}) &&
         (run.presentedCount <= run.presentedSent ||
          selectRunRows(db, presentedTable(), run.runId, run.presented, error)) &&
         (run.interruptionsCount <= run.interruptionsSent ||
          selectRunRows(db, interruptionsTable(), run.runId, run.interruptions, error));
    if (!ok)
        return fail(QStringLiteral("cannot read the journal: %1").arg(errorText(error)));
    return true;
}

bool JournalDelivery::send(const QList<WaitingRun>& runs, QString& problem, bool& dataProblem) {
    QSqlDatabase db = QSqlDatabase::database(serverName_, false);
    QSqlError error;
    const auto failed = [&](const QSqlError& e) {
        dataProblem = isDataProblem(e);
        problem = errorText(e);
        db.rollback();
        return false;
    };
    if (!db.transaction())
        return failed(db.lastError());
    QList<JournalRow> starts, answers, presented, interruptions;
    for (const WaitingRun& run : runs) {
        if (!run.runSent)
            starts << run.start;
        answers << run.answers;
        presented << run.presented;
        interruptions << run.interruptions;
    }
    if (!insertRows(db, runStartTable(), starts, error) ||
        !insertRows(db, presentedTable(), presented, error) ||
        !insertRows(db, answersTable(), answers, error) ||
        !insertRows(db, interruptionsTable(), interruptions, error))
        return failed(error);
    QSqlQuery end(db);
    end.prepare(QStringLiteral("SELECT journal_end_run(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (const WaitingRun& run : runs) {
        if (!run.ended)
            continue;
        end.addBindValue(run.runId);
        for (const QVariant& value : run.end)
            end.addBindValue(value);
        // Whether it ended the run now or found it ended by an earlier
        // delivery of this same end, the end is there.
        if (!end.exec())
            return failed(end.lastError());
        end.finish();
    }
    if (!db.commit())
        return failed(db.lastError());
    return true;
}

bool JournalDelivery::markDelivered(const QList<WaitingRun>& runs) {
    QSqlDatabase db = QSqlDatabase::database(localName_, false);
    QSqlQuery query(db);
    const auto failed = [&](const QSqlError& error) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return fail(
            QStringLiteral("cannot note the delivery in the journal: %1").arg(errorText(error)));
    };
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return failed(query.lastError());
    query.prepare(QStringLiteral(
        "UPDATE delivery SET run_sent = 1, answers_sent = max(answers_sent, ?), "
        "presented_sent = max(presented_sent, ?), interruptions_sent = max(interruptions_sent, ?), "
        "end_sent = max(end_sent, ?) WHERE run_id = ?"));
    for (const WaitingRun& run : runs) {
        query.addBindValue(run.lastSeq);
        query.addBindValue(run.presentedCount);
        query.addBindValue(run.interruptionsCount);
        query.addBindValue(run.ended ? 1 : 0);
        query.addBindValue(run.runId);
        if (!query.exec())
            return failed(query.lastError());
    }
    query.prepare(QStringLiteral("UPDATE delivery_status SET server = ?, last_delivery_at = ?, "
                                 "last_attempt_at = ?, last_error = NULL, last_error_at = NULL "
                                 "WHERE id = 1"));
    const QVariant now = journalTime(QDateTime::currentDateTimeUtc());
    query.addBindValue(server_.shown());
    query.addBindValue(now);
    query.addBindValue(now);
    if (!query.exec() || !query.exec(QStringLiteral("COMMIT")))
        return failed(query.lastError());
    recordedProblem_.clear();
    return true;
}

bool JournalDelivery::deliverBatch(int maxRuns, DeliveryProgress& progress) {
    progress = {};
    if (!server_.valid()) {
        openLocal(); // so that the problem is written where status finds it
        return fail(
            QStringLiteral("the server connection does not parse: %1").arg(server_.problem));
    }
    if (!openLocal())
        return false;
    QList<WaitingRun> runs;
    QSqlDatabase local = QSqlDatabase::database(localName_, false);
    // One read transaction: the counts and the rows are of the same moment.
    bool ok = local.transaction() && readWaiting(maxRuns, runs, progress.more);
    for (WaitingRun& run : runs)
        ok = ok && readRows(run);
    local.commit();
    if (!ok)
        return false;
    if (runs.isEmpty()) {
        problem_.clear();
        return true;
    }
    if (!openServer())
        return false;
    if (!deliverRuns(runs, progress))
        return false;
    problem_.clear();
    return true;
}

bool JournalDelivery::deliverRuns(const QList<WaitingRun>& runs, DeliveryProgress& progress) {
    QString why;
    bool dataProblem = false;
    if (send(runs, why, dataProblem)) {
        if (!markDelivered(runs))
            return false;
        for (const WaitingRun& run : runs)
            progress.answers += int(run.answers.size());
        progress.runs += int(runs.size());
        return true;
    }
    if (!dataProblem) {
        closeServer(); // a dead connection is opened anew next time
        return fail(
            QStringLiteral("delivery to the server %1 failed: %2").arg(server_.shown(), why));
    }
    if (runs.size() == 1) {
        refused_.insert(runs.first().runId);
        return fail(QStringLiteral("the server %1 refused run %2: %3")
                        .arg(server_.shown(), runs.first().runId, why));
    }
    // One run the server refuses must not hold back the others: find it by
    // sending them one at a time.
    bool allOk = true;
    for (const WaitingRun& run : runs)
        allOk = deliverRuns({run}, progress) && allOk;
    return allOk;
}

bool JournalDelivery::deliverAll(int maxRuns, DeliveryProgress& progress) {
    progress = {};
    DeliveryProgress batch;
    do {
        if (!deliverBatch(maxRuns, batch))
            return false;
        progress.runs += batch.runs;
        progress.answers += batch.answers;
    } while (batch.more);
    return true;
}

} // namespace korvel
