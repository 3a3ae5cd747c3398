#include "journal/journal_reader.h"

#include "journal/journal_failure.h"
#include "journal/journal_schema.h"
#include "journal/journal_values.h"
#include "journal/server_connection.h"
#include "journal/server_schema.h"
#include "journal/stored_run_reading.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <atomic>

namespace korvel {

namespace {

QString readerConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("korvel-journal-reader-%1").arg(++counter);
}

QString likePattern(const QString& prefix) {
    QString escaped = prefix;
    escaped.replace(u'\\', QStringLiteral("\\\\"))
        .replace(u'%', QStringLiteral("\\%"))
        .replace(u'_', QStringLiteral("\\_"));
    return escaped + u'%';
}

} // namespace

bool RunFilter::isEmpty() const {
    return examinee.isEmpty() && base.isEmpty() && !since.isValid() && !until.isValid() && !kind &&
           baseSha256.isEmpty() && !grade && !passed;
}

bool RunFilter::matchesText(const QString& runExaminee, const QString& baseFile,
                            const QString& baseName) const {
    if (!examinee.isEmpty() && !runExaminee.contains(examinee, Qt::CaseInsensitive))
        return false;
    return base.isEmpty() || baseFile.contains(base, Qt::CaseInsensitive) ||
           baseName.contains(base, Qt::CaseInsensitive);
}

std::unique_ptr<JournalReader> JournalReader::openServer(const QString& server, QString& error) {
    const ServerConnection connection = parseServerConnection(server);
    std::unique_ptr<JournalReader> reader(
        new JournalReader(connection.shown(), readerConnectionName()));
    reader->db_ = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), reader->connection_);
    if (!korvel::openServer(reader->db_, connection, error))
        return nullptr;
    if (!checkServerSchema(reader->db_, error)) {
        error = QStringLiteral("the server %1: %2").arg(connection.shown(), error);
        return nullptr;
    }
    // A station's login may read the schema version but no runs: say so now
    // rather than at the first listing.
    QSqlQuery probe(reader->db_);
    if (!probe.exec(QStringLiteral("SELECT run_id FROM runs LIMIT 1"))) {
        error = QStringLiteral("the login on %1 may not read the journal (a login in the role "
                               "korvel_viewer is needed): %2")
                    .arg(connection.shown(), probe.lastError().databaseText().simplified());
        return nullptr;
    }
    return reader;
}

JournalReader::JournalReader(const QString& path, const QString& connection)
    : path_(path)
    , connection_(connection) {}

JournalReader::~JournalReader() {
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connection_);
}

std::unique_ptr<JournalReader> JournalReader::open(const QString& path, QString& error) {
    const QString shown = QDir::toNativeSeparators(path);
    if (!QFileInfo(path).isFile()) {
        error = QStringLiteral("no journal at %1").arg(shown);
        return nullptr;
    }
    std::unique_ptr<JournalReader> reader(new JournalReader(path, readerConnectionName()));
    reader->db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), reader->connection_);
    reader->db_.setDatabaseName(path);
    reader->db_.setConnectOptions(
        QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=1000"));
    QSqlError failure;
    SchemaCheck schema;
    if (reader->db_.open())
        schema = checkSchemaForReading(reader->db_, failure);
    else
        failure = reader->db_.lastError();
    switch (schema.state) {
    case SchemaState::Ready:
        return reader;
    case SchemaState::Newer:
        error = QStringLiteral("%1 was written by a newer version (journal schema %2); this one "
                               "reads up to %3")
                    .arg(shown)
                    .arg(schema.version)
                    .arg(JournalSchemaVersion);
        return nullptr;
    case SchemaState::Foreign:
        error = QStringLiteral("%1 is not a results journal").arg(shown);
        return nullptr;
    case SchemaState::Failed:
        break;
    }
    const QString detail = failureDetail(failure);
    switch (classifyFailure(failure)) {
    case JournalFailure::Damaged:
        error = QStringLiteral("%1 is damaged or not a results journal (%2)").arg(shown, detail);
        break;
    case JournalFailure::Locked:
        error = QStringLiteral("%1 is locked by another program (%2)").arg(shown, detail);
        break;
    default:
        error = QStringLiteral("cannot read %1 (%2)").arg(shown, detail);
        break;
    }
    return nullptr;
}

QString JournalReader::sqlCondition(const RunFilter& filter, QVariantList& values) {
    QStringList conditions;
    if (filter.since.isValid()) {
        conditions << QStringLiteral("started_at >= ?");
        values << journalTime(filter.since);
    }
    if (filter.until.isValid()) {
        conditions << QStringLiteral("started_at < ?");
        values << journalTime(filter.until);
    }
    if (filter.kind) {
        conditions << QStringLiteral("kind = ?");
        values << kindWord(*filter.kind);
    }
    if (!filter.baseSha256.isEmpty()) {
        conditions << QStringLiteral("base_sha256 = ?");
        values << filter.baseSha256.toLower();
    }
    if (filter.grade) {
        conditions << QStringLiteral("grade = ?");
        values << *filter.grade;
    }
    if (filter.passed)
        conditions << (*filter.passed ? QStringLiteral("grade >= 4")
                                      : QStringLiteral("grade <= 3"));
    return conditions.isEmpty() ? QStringLiteral("1 = 1")
                                : conditions.join(QStringLiteral(" AND "));
}

bool JournalReader::forEachRun(const RunFilter& filter,
                               const std::function<bool(const StoredRun&)>& visit,
                               QString& error) const {
    QVariantList values;
    const QString condition = sqlCondition(filter, values);
    QSqlQuery query(db_);
    query.setForwardOnly(true);
    query.prepare(
        QStringLiteral("SELECT %1 FROM runs WHERE %2 ORDER BY started_at DESC, run_id DESC")
            .arg(QLatin1String(StoredRunColumns), condition));
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec()) {
        error = failureDetail(query.lastError());
        return false;
    }
    while (query.next()) {
        const StoredRun run = runFromRow(query);
        if (filter.matchesText(run.start.examinee, run.start.baseFile, run.start.baseName) &&
            !visit(run))
            break;
    }
    if (query.lastError().isValid()) {
        error = failureDetail(query.lastError());
        return false;
    }
    return true;
}

JournalReader::Lookup JournalReader::findRun(const QString& idOrPrefix, QString& runId) const {
    QSqlQuery query(db_);
    query.setForwardOnly(true);
    query.prepare(
        QStringLiteral("SELECT run_id FROM runs WHERE run_id = ? "
                       "UNION SELECT run_id FROM (SELECT run_id FROM runs "
                       "WHERE run_id LIKE ? ESCAPE '\\' ORDER BY run_id LIMIT 11) AS candidates"));
    query.addBindValue(idOrPrefix);
    query.addBindValue(likePattern(idOrPrefix));
    if (idOrPrefix.isEmpty() || !query.exec()) {
        runId = failureDetail(query.lastError());
        return idOrPrefix.isEmpty() ? Lookup::NotFound : Lookup::Failed;
    }
    QStringList ids;
    while (query.next())
        ids << query.value(0).toString();
    if (ids.contains(idOrPrefix) || ids.size() == 1) {
        runId = ids.contains(idOrPrefix) ? idOrPrefix : ids.first();
        return Lookup::Found;
    }
    runId = ids.mid(0, 10).join(u' ');
    return ids.isEmpty() ? Lookup::NotFound : Lookup::Ambiguous;
}

std::optional<StoredRun> JournalReader::run(const QString& runId, QString& error) const {
    QSqlError failure;
    std::optional<StoredRun> run = readStoredRun(db_, runId, failure);
    if (failure.isValid())
        error = failureDetail(failure);
    return run;
}

} // namespace korvel

namespace korvel {

namespace {

// "column IN (?, ...)" for the distinct values of the columns that hold the
// text, or a condition no row meets when none does.
bool namesHolding(const QSqlDatabase& db, const QString& text, const QStringList& columns,
                  QStringList& conditions, QVariantList& values, QString& error) {
    QStringList parts;
    for (const QString& column : columns) {
        QSqlQuery query(db);
        query.setForwardOnly(true);
        if (!query.exec(QStringLiteral("SELECT DISTINCT %1 FROM runs").arg(column))) {
            error = failureDetail(query.lastError());
            return false;
        }
        QStringList names;
        while (query.next()) {
            const QString name = query.value(0).toString();
            if (name.contains(text, Qt::CaseInsensitive))
                names << name;
        }
        if (names.isEmpty())
            continue;
        QStringList marks(names.size(), QStringLiteral("?"));
        parts << QStringLiteral("%1 IN (%2)").arg(column, marks.join(u','));
        for (const QString& name : names)
            values << name;
    }
    conditions << (parts.isEmpty()
                       ? QStringLiteral("1 = 0")
                       : QStringLiteral("(%1)").arg(parts.join(QStringLiteral(" OR "))));
    return true;
}

} // namespace

bool runFilterCondition(const QSqlDatabase& db, const RunFilter& filter, QString& clause,
                        QVariantList& values, QString& error) {
    QStringList conditions{JournalReader::sqlCondition(filter, values)};
    if (!filter.examinee.isEmpty() &&
        !namesHolding(db, filter.examinee, {QStringLiteral("examinee")}, conditions, values, error))
        return false;
    if (!filter.base.isEmpty() &&
        !namesHolding(db, filter.base, {QStringLiteral("base_file"), QStringLiteral("base_name")},
                      conditions, values, error))
        return false;
    clause = conditions.join(QStringLiteral(" AND "));
    return true;
}

} // namespace korvel
