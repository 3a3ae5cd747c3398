#include "journal/journal_schema.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <algorithm>
#include <functional>

namespace korvel {

const char RunsTableVersion1[] = R"(CREATE TABLE runs (
    run_id TEXT PRIMARY KEY NOT NULL,
    station TEXT NOT NULL,
    os_user TEXT NOT NULL,
    examinee TEXT NOT NULL DEFAULT '',
    kind TEXT NOT NULL CHECK (kind IN ('preparation', 'exam', 'work_on_errors')),
    base_file TEXT NOT NULL,
    base_name TEXT NOT NULL,
    base_sha256 TEXT NOT NULL,
    tickets TEXT NOT NULL,
    questions_per_ticket INTEGER NOT NULL,
    time_limit_s INTEGER,
    started_at TEXT NOT NULL,
    parent_run_id TEXT,
    exam_time_used_s INTEGER NOT NULL DEFAULT 0,
    last_seen_at TEXT NOT NULL,
    ended_at TEXT,
    ended_by TEXT CHECK (ended_by IN ('last_answer', 'time_limit', 'main_menu', 'interrupted')),
    total INTEGER,
    right_count INTEGER,
    wrong_count INTEGER,
    unanswered INTEGER,
    percent INTEGER,
    grade INTEGER CHECK (grade BETWEEN 2 AND 5),
    result_text TEXT))";

namespace {

// Version 1. Runs are written as they happen: the columns from ended_at on
// stay NULL until the run ends.
const char* const Version1[] = {
    RunsTableVersion1,
    "CREATE INDEX runs_by_start ON runs (started_at)",
    "CREATE INDEX runs_by_base ON runs (base_sha256, kind)",
    "CREATE INDEX runs_unfinished ON runs (station, os_user) WHERE ended_at IS NULL",
    R"(CREATE TABLE answers (
    run_id TEXT NOT NULL REFERENCES runs (run_id),
    seq INTEGER NOT NULL,
    ticket INTEGER NOT NULL,
    question INTEGER NOT NULL,
    chosen TEXT NOT NULL,
    right TEXT NOT NULL,
    correct INTEGER NOT NULL CHECK (correct IN (0, 1)),
    shown_at TEXT,
    answered_at TEXT NOT NULL,
    ms_on_question INTEGER NOT NULL,
    elapsed_s INTEGER NOT NULL,
    PRIMARY KEY (run_id, seq)) WITHOUT ROWID)",
    R"(CREATE TABLE presented (
    run_id TEXT NOT NULL REFERENCES runs (run_id),
    ticket INTEGER NOT NULL,
    question INTEGER NOT NULL,
    right TEXT NOT NULL,
    first_shown_at TEXT NOT NULL,
    PRIMARY KEY (run_id, ticket, question)) WITHOUT ROWID)",
    R"(CREATE TABLE interruptions (
    run_id TEXT NOT NULL REFERENCES runs (run_id),
    interrupted_at TEXT NOT NULL,
    resumed_at TEXT,
    seconds INTEGER NOT NULL))",
    "CREATE INDEX interruptions_by_run ON interruptions (run_id)",
};

// Version 2: what of each run the sender has delivered to the centre's
// server, so that delivery goes on where it stopped after a restart. Every
// new run gets its row from the trigger, so the journal's writes stay as
// they were; a run whose end is delivered has nothing more to send.
const char* const Version2[] = {
    R"(CREATE TABLE delivery (
    run_id TEXT PRIMARY KEY NOT NULL REFERENCES runs (run_id),
    run_sent INTEGER NOT NULL DEFAULT 0,
    answers_sent INTEGER NOT NULL DEFAULT 0,
    presented_sent INTEGER NOT NULL DEFAULT 0,
    interruptions_sent INTEGER NOT NULL DEFAULT 0,
    end_sent INTEGER NOT NULL DEFAULT 0) WITHOUT ROWID)",
    "CREATE INDEX delivery_waiting ON delivery (run_id) WHERE end_sent = 0",
    "INSERT INTO delivery (run_id) SELECT run_id FROM runs",
    R"(CREATE TRIGGER delivery_of_new_run AFTER INSERT ON runs
BEGIN
    INSERT OR IGNORE INTO delivery (run_id) VALUES (NEW.run_id);
END)",
    R"(CREATE TABLE delivery_status (
    id INTEGER PRIMARY KEY CHECK (id = 1),
    server TEXT,
    last_attempt_at TEXT,
    last_delivery_at TEXT,
    last_error TEXT,
    last_error_at TEXT))",
    "INSERT INTO delivery_status (id) VALUES (1)",
};

struct Step {
    int toVersion;
    std::function<bool(QSqlQuery&)> apply;
};

bool runAll(QSqlQuery& query, const auto& statements) {
    for (const char* statement : statements)
        if (!query.exec(QString::fromUtf8(statement)))
            return false;
    return true;
}

// Step n turns a version n-1 file into version n. A later version appends
// its step here; the steps before it stay as they are.
const QList<Step>& migrationSteps() {
    static const QList<Step> steps = {
        {1, [](QSqlQuery& query) { return runAll(query, Version1); }},
        {2, [](QSqlQuery& query) { return runAll(query, Version2); }},
    };
    return steps;
}

const QStringList& journalTables() {
    static const QStringList tables = {QStringLiteral("runs"), QStringLiteral("answers"),
                                       QStringLiteral("presented"),
                                       QStringLiteral("interruptions")};
    return tables;
}

bool scalar(QSqlQuery& query, const QString& statement, QVariant& value) {
    if (!query.exec(statement) || !query.next())
        return false;
    value = query.value(0);
    query.finish();
    return true;
}

// The user tables of the file, or an error.
bool tableNames(QSqlQuery& query, QStringList& names) {
    if (!query.exec(QStringLiteral(
            "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%'")))
        return false;
    while (query.next())
        names << query.value(0).toString();
    return true;
}

} // namespace

SchemaCheck inspectSchema(QSqlDatabase& db, QSqlError& error) {
    QStringList tables;
    QSqlQuery query(db);
    QVariant version;
    if (!scalar(query, QStringLiteral("PRAGMA user_version"), version) ||
        !tableNames(query, tables)) {
        error = query.lastError();
        return {SchemaState::Failed, 0};
    }
    SchemaCheck check{SchemaState::Ready, version.toInt()};
    if (check.version > JournalSchemaVersion)
        check.state = SchemaState::Newer;
    else if (check.version == 0
                 ? !tables.isEmpty()
                 : !std::all_of(journalTables().begin(), journalTables().end(),
                                [&](const QString& t) { return tables.contains(t); }))
        check.state = SchemaState::Foreign;
    return check;
}

bool migrateSchema(QSqlDatabase& db, int fromVersion, QSqlError& error) {
    for (const Step& step : migrationSteps()) {
        if (step.toVersion <= fromVersion)
            continue;
        QSqlQuery query(db);
        // IMMEDIATE: two programs starting at once cannot both create the tables.
        if (!query.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
            error = query.lastError();
            return false;
        }
        // Another program may have migrated while this one waited for the lock.
        QVariant now;
        bool ok = scalar(query, QStringLiteral("PRAGMA user_version"), now);
        if (ok && now.toInt() < step.toVersion)
            ok = step.apply(query) &&
                 query.exec(QStringLiteral("PRAGMA user_version = %1").arg(step.toVersion));
        if (!ok || !query.exec(QStringLiteral("COMMIT"))) {
            error = query.lastError();
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            return false;
        }
    }
    return true;
}

SchemaCheck checkSchemaForReading(QSqlDatabase& db, QSqlError& error) {
    SchemaCheck check = inspectSchema(db, error);
    if (check.state == SchemaState::Ready && check.version == 0)
        check.state = SchemaState::Foreign; // an empty file holds no journal
    return check;
}

} // namespace korvel
