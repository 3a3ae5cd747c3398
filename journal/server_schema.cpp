#include "journal/server_schema.h"

#include "journal/journal_schema.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <optional>

namespace korvel {

namespace {

// The local journal's version-1 tables, with PostgreSQL's spelling: "right"
// is a reserved word there. Interruptions have no key of their own locally;
// the unique one here lets a re-sent interruption be stored once.
const char* const Version1[] = {
    "CREATE TABLE journal_version (version INTEGER NOT NULL)",
    "INSERT INTO journal_version (version) VALUES (0)",
    RunsTableVersion1,
    "CREATE INDEX runs_by_start ON runs (started_at)",
    "CREATE INDEX runs_by_base ON runs (base_sha256, kind)",
    R"(CREATE TABLE answers (
    run_id TEXT NOT NULL REFERENCES runs (run_id),
    seq INTEGER NOT NULL,
    ticket INTEGER NOT NULL,
    question INTEGER NOT NULL,
    chosen TEXT NOT NULL,
    "right" TEXT NOT NULL,
    correct INTEGER NOT NULL CHECK (correct IN (0, 1)),
    shown_at TEXT,
    answered_at TEXT NOT NULL,
    ms_on_question INTEGER NOT NULL,
    elapsed_s INTEGER NOT NULL,
    PRIMARY KEY (run_id, seq)))",
    R"(CREATE TABLE presented (
    run_id TEXT NOT NULL REFERENCES runs (run_id),
    ticket INTEGER NOT NULL,
    question INTEGER NOT NULL,
    "right" TEXT NOT NULL,
    first_shown_at TEXT NOT NULL,
    PRIMARY KEY (run_id, ticket, question)))",
    R"(CREATE TABLE interruptions (
    run_id TEXT NOT NULL REFERENCES runs (run_id),
    interrupted_at TEXT NOT NULL,
    resumed_at TEXT,
    seconds INTEGER NOT NULL,
    UNIQUE NULLS NOT DISTINCT (run_id, interrupted_at, resumed_at)))",
};

// Set anew by every init, so a later version can change them in place.
// The end function runs with its owner's rights: a station may end a run
// once, and never alter one that has ended.
const char* const Grants[] = {
    R"(DO $$ BEGIN
    IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'korvel_station') THEN
        CREATE ROLE korvel_station NOLOGIN;
    END IF;
    IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'korvel_viewer') THEN
        CREATE ROLE korvel_viewer NOLOGIN;
    END IF;
END $$)",
    R"(CREATE OR REPLACE FUNCTION journal_end_run(
    p_run_id TEXT, p_ended_at TEXT, p_ended_by TEXT, p_total INTEGER, p_right_count INTEGER,
    p_wrong_count INTEGER, p_unanswered INTEGER, p_percent INTEGER, p_grade INTEGER,
    p_result_text TEXT, p_exam_time_used_s INTEGER, p_last_seen_at TEXT)
RETURNS BOOLEAN LANGUAGE plpgsql SECURITY DEFINER
SET search_path = public, pg_temp AS $f$
BEGIN
    IF p_ended_at IS NULL OR p_ended_by IS NULL THEN
        RAISE EXCEPTION 'a run ends at a time and in a way';
    END IF;
    UPDATE runs SET ended_at = p_ended_at, ended_by = p_ended_by, total = p_total,
        right_count = p_right_count, wrong_count = p_wrong_count, unanswered = p_unanswered,
        percent = p_percent, grade = p_grade, result_text = p_result_text,
        exam_time_used_s = greatest(exam_time_used_s, coalesce(p_exam_time_used_s, 0)),
        last_seen_at = coalesce(p_last_seen_at, last_seen_at)
    WHERE run_id = p_run_id AND ended_at IS NULL;
    IF FOUND THEN
        RETURN TRUE;
    END IF;
    IF NOT EXISTS (SELECT 1 FROM runs WHERE run_id = p_run_id) THEN
        RAISE EXCEPTION 'there is no run %', p_run_id;
    END IF;
    RETURN FALSE; -- it ended before: left as it was
END $f$)",
    "REVOKE ALL ON journal_version, runs, answers, presented, interruptions FROM PUBLIC",
    "REVOKE ALL ON FUNCTION journal_end_run(TEXT, TEXT, TEXT, INTEGER, INTEGER, INTEGER, "
    "INTEGER, INTEGER, INTEGER, TEXT, INTEGER, TEXT) FROM PUBLIC",
    "REVOKE ALL ON journal_version, runs, answers, presented, interruptions "
    "FROM korvel_station, korvel_viewer",
    "GRANT USAGE ON SCHEMA public TO korvel_station, korvel_viewer",
    "GRANT SELECT ON journal_version TO korvel_station, korvel_viewer",
    // A station writes a run's start; its end only through the function.
    "GRANT INSERT (run_id, station, os_user, examinee, kind, base_file, base_name, base_sha256, "
    "tickets, questions_per_ticket, time_limit_s, started_at, parent_run_id, exam_time_used_s, "
    "last_seen_at) ON runs TO korvel_station",
    "GRANT INSERT ON answers, presented, interruptions TO korvel_station",
    "GRANT EXECUTE ON FUNCTION journal_end_run(TEXT, TEXT, TEXT, INTEGER, INTEGER, INTEGER, "
    "INTEGER, INTEGER, INTEGER, TEXT, INTEGER, TEXT) TO korvel_station",
    "GRANT SELECT ON journal_version, runs, answers, presented, interruptions TO korvel_viewer",
};

struct Step {
    int toVersion;
    QList<const char*> statements;
};

const QList<Step>& serverSteps() {
    static const QList<Step> steps = {
        {1, {std::begin(Version1), std::end(Version1)}},
    };
    return steps;
}

bool execAll(QSqlQuery& query, const QList<const char*>& statements, QString& problem) {
    for (const char* statement : statements) {
        if (!query.exec(QString::fromUtf8(statement))) {
            problem = query.lastError().databaseText().simplified();
            return false;
        }
    }
    return true;
}

// The version, 0 for a database without journal tables, -1 for a database
// with a `runs` table that is not ours; nullopt when the query failed.
std::optional<int> serverVersion(QSqlQuery& query, QString& problem) {
    if (!query.exec(
            QStringLiteral("SELECT (SELECT count(*) FROM pg_tables WHERE schemaname = 'public' AND "
                           "tablename = 'journal_version'), (SELECT count(*) FROM pg_tables WHERE "
                           "schemaname = 'public' AND tablename = 'runs')")) ||
        !query.next()) {
        problem = query.lastError().databaseText().simplified();
        return std::nullopt;
    }
    const bool versioned = query.value(0).toInt() > 0;
    const bool runs = query.value(1).toInt() > 0;
    query.finish();
    if (!versioned)
        return runs ? -1 : 0;
    if (!query.exec(QStringLiteral("SELECT max(version) FROM journal_version")) || !query.next()) {
        problem = query.lastError().databaseText().simplified();
        return std::nullopt;
    }
    const int version = query.value(0).toInt();
    query.finish();
    return version;
}

} // namespace

bool initServerSchema(QSqlDatabase& db, QString& problem) {
    QSqlQuery query(db);
    const auto failed = [&](const QString& why) {
        problem = why;
        db.rollback();
        return false;
    };
    if (!db.transaction())
        return failed(db.lastError().databaseText().simplified());
    // Two administrators at once: the second waits, then finds it done.
    if (!query.exec(QStringLiteral("SELECT pg_advisory_xact_lock(7460391)")))
        return failed(query.lastError().databaseText().simplified());
    query.finish();
    QString why;
    const std::optional<int> version = serverVersion(query, why);
    if (!version)
        return failed(why);
    if (*version < 0)
        return failed(QStringLiteral("the database holds a table \"runs\" that is not a "
                                     "journal's; use a database of its own for the journal"));
    if (*version > ServerSchemaVersion)
        return failed(QStringLiteral("the server's journal is of schema version %1, newer than "
                                     "this program's %2")
                          .arg(*version)
                          .arg(ServerSchemaVersion));
    for (const Step& step : serverSteps()) {
        if (step.toVersion <= *version)
            continue;
        if (!execAll(query, step.statements, why))
            return failed(why);
        query.prepare(QStringLiteral("UPDATE journal_version SET version = ?"));
        query.addBindValue(step.toVersion);
        if (!query.exec())
            return failed(query.lastError().databaseText().simplified());
    }
    if (!execAll(query, {std::begin(Grants), std::end(Grants)}, why))
        return failed(why);
    if (!db.commit())
        return failed(db.lastError().databaseText().simplified());
    return true;
}

bool checkServerSchema(QSqlDatabase& db, QString& problem) {
    QSqlQuery query(db);
    // The station may read journal_version and nothing else, so look there
    // first: the catalogue query above is for the administrator.
    if (query.exec(QStringLiteral("SELECT max(version) FROM journal_version")) && query.next()) {
        const int version = query.value(0).toInt();
        query.finish();
        if (version == ServerSchemaVersion)
            return true;
        problem = QStringLiteral("the server's journal is of schema version %1; this program "
                                 "works with version %2 (korvelbase journal init-server "
                                 "brings an older one up to date)")
                      .arg(version)
                      .arg(ServerSchemaVersion);
        return false;
    }
    const QString error = query.lastError().databaseText().simplified();
    if (error.contains(QLatin1String("does not exist"))) {
        problem = QStringLiteral("the server holds no journal (korvelbase journal init-server "
                                 "creates one)");
        return false;
    }
    problem = QStringLiteral("cannot read the server's journal version: %1").arg(error);
    return false;
}

} // namespace korvel
