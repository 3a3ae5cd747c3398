#include "journal/journal_merge.h"

#include "journal/journal_rows.h"
#include "journal/journal_schema.h"
#include "journal/named_connection.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <atomic>

namespace korvel {

namespace {

constexpr int Slice = 2000;

QString connectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("korvel-merge-%1").arg(++counter);
}

QString errorText(const QSqlError& error) {
    return (error.databaseText().isEmpty() ? error.driverText() : error.databaseText())
        .simplified();
}

bool openSource(NamedConnection& connection, const QString& path, QString& problem) {
    const QString shown = QDir::toNativeSeparators(path);
    if (!QFileInfo(path).isFile()) {
        problem = QStringLiteral("there is no journal file %1").arg(shown);
        return false;
    }
    QSqlDatabase& db = connection.db();
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    QSqlError error;
    if (!db.open()) {
        problem = QStringLiteral("cannot open %1: %2").arg(shown, errorText(db.lastError()));
        return false;
    }
    const SchemaCheck schema = checkSchemaForReading(db, error);
    if (schema.state == SchemaState::Ready)
        return true;
    problem = schema.state == SchemaState::Newer
                  ? QStringLiteral("%1 was written by a newer version of the program").arg(shown)
              : schema.state == SchemaState::Foreign
                  ? QStringLiteral("%1 is not a results journal").arg(shown)
                  : QStringLiteral("cannot read %1: %2").arg(shown, errorText(error));
    return false;
}

bool openTarget(NamedConnection& connection, const QString& path, QString& problem) {
    const QString shown = QDir::toNativeSeparators(path);
    QSqlDatabase& db = connection.db();
    db.setDatabaseName(path);
    QSqlError error;
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !db.open()) {
        problem = QStringLiteral("cannot open %1: %2").arg(shown, errorText(db.lastError()));
        return false;
    }
    const SchemaCheck schema = inspectSchema(db, error);
    // Unlike the program, the tool never moves a file aside: it says why.
    if (schema.state != SchemaState::Ready) {
        problem =
            schema.state == SchemaState::Newer
                ? QStringLiteral("%1 was written by a newer version of the program").arg(shown)
            : schema.state == SchemaState::Foreign
                ? QStringLiteral("%1 is not a results journal").arg(shown)
                : QStringLiteral("cannot read %1: %2").arg(shown, errorText(error));
        return false;
    }
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA journal_mode = WAL")) ||
        !query.exec(QStringLiteral("PRAGMA synchronous = FULL")) ||
        !migrateSchema(db, schema.version, error)) {
        problem = QStringLiteral("cannot write %1: %2")
                      .arg(shown, errorText(error.isValid() ? error : query.lastError()));
        return false;
    }
    return true;
}

// The interruptions have no key: one is new when the target holds none of
// the same run, start and end.
bool addInterruptions(QSqlDatabase& source, QSqlDatabase& target, QSqlError& error) {
    QSqlQuery insert(target);
    insert.prepare(QStringLiteral(
        "INSERT INTO interruptions (run_id, interrupted_at, resumed_at, seconds) "
        "SELECT ?, ?, ?, ? WHERE NOT EXISTS (SELECT 1 FROM interruptions WHERE run_id = ? AND "
        "interrupted_at = ? AND resumed_at IS ?)"));
    return forEachSlice(
        source, interruptionsTable(), Slice,
        [&](const QList<JournalRow>& rows) {
            for (const JournalRow& row : rows) {
                for (const QVariant& value : row)
                    insert.addBindValue(value);
                insert.addBindValue(row[0]);
                insert.addBindValue(row[1]);
                insert.addBindValue(row[2]);
                if (!insert.exec()) {
                    error = insert.lastError();
                    return false;
                }
            }
            return true;
        },
        error);
}

// A run the target holds unfinished takes the source's end.
bool addEnds(QSqlDatabase& source, QSqlDatabase& target, MergeCount& count, QSqlError& error) {
    QStringList assignments;
    for (const QString& column : runEndColumns() + QStringList{"exam_time_used_s", "last_seen_at"})
        assignments << column + QStringLiteral(" = ?");
    QSqlQuery update(target);
    update.prepare(QStringLiteral("UPDATE runs SET %1 WHERE run_id = ? AND ended_at IS NULL")
                       .arg(assignments.join(QStringLiteral(", "))));
    QSqlQuery ended(source);
    ended.setForwardOnly(true);
    if (!ended.exec(QStringLiteral("SELECT %1, exam_time_used_s, last_seen_at, run_id FROM runs "
                                   "WHERE ended_at IS NOT NULL")
                        .arg(runEndColumns().join(QStringLiteral(", "))))) {
        error = ended.lastError();
        return false;
    }
    const int width = int(runEndColumns().size()) + 3;
    while (ended.next()) {
        for (int k = 0; k < width; ++k)
            update.addBindValue(ended.value(k));
        if (!update.exec()) {
            error = update.lastError();
            return false;
        }
        count.runsEnded += std::max(0, update.numRowsAffected());
    }
    return true;
}

bool mergeOne(QSqlDatabase& source, QSqlDatabase& target, MergeCount& count, QSqlError& error) {
    const auto copy = [&](const JournalTable& table, qint64* inserted) {
        return forEachSlice(
            source, table, Slice,
            [&](const QList<JournalRow>& rows) {
                return insertRows(target, table, rows, error, inserted);
            },
            error);
    };
    qint64 ignored = 0;
    return addEnds(source, target, count, error) && copy(wholeRunsTable(), &count.runsAdded) &&
           copy(answersTable(), &count.answersAdded) && copy(presentedTable(), &ignored) &&
           addInterruptions(source, target, error);
}

} // namespace

bool mergeJournals(const QStringList& sources, const QString& targetPath, QList<MergeCount>& counts,
                   QString& problem) {
    NamedConnection target(QStringLiteral("QSQLITE"), connectionName());
    if (!openTarget(target, targetPath, problem))
        return false;
    for (const QString& path : sources) {
        if (QFileInfo(path).canonicalFilePath() == QFileInfo(targetPath).canonicalFilePath()) {
            problem = QStringLiteral("%1 cannot be merged into itself")
                          .arg(QDir::toNativeSeparators(path));
            return false;
        }
        NamedConnection source(QStringLiteral("QSQLITE"), connectionName());
        if (!openSource(source, path, problem))
            return false;
        MergeCount count;
        count.source = path;
        QSqlError error;
        QSqlQuery transaction(target.db());
        if (!transaction.exec(QStringLiteral("BEGIN IMMEDIATE")) ||
            !mergeOne(source.db(), target.db(), count, error) ||
            !transaction.exec(QStringLiteral("COMMIT"))) {
            QSqlQuery(target.db()).exec(QStringLiteral("ROLLBACK"));
            problem = QStringLiteral("merging %1 into %2 failed: %3")
                          .arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(targetPath),
                               errorText(error.isValid() ? error : transaction.lastError()));
            return false;
        }
        counts << count;
    }
    return true;
}

} // namespace korvel
