#include "journal/journal_rows.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <algorithm>

namespace korvel {

namespace {

// Bound values per statement: far under SQLite's and PostgreSQL's limits,
// large enough that a batch goes in a few round trips.
constexpr qsizetype ValuesPerStatement = 6000;

QString columnList(const QStringList& columns) {
    QStringList quoted;
    for (const QString& column : columns)
        quoted << u'"' + column + u'"';
    return quoted.join(QStringLiteral(", "));
}

} // namespace

const JournalTable& runStartTable() {
    static const JournalTable table{QStringLiteral("runs"),
                                    {"run_id", "station", "os_user", "examinee", "kind",
                                     "base_file", "base_name", "base_sha256", "tickets",
                                     "questions_per_ticket", "time_limit_s", "started_at",
                                     "parent_run_id", "exam_time_used_s", "last_seen_at"}};
    return table;
}

const QStringList& runEndColumns() {
    static const QStringList columns = {"ended_at",    "ended_by",    "total",
                                        "right_count", "wrong_count", "unanswered",
                                        "percent",     "grade",       "result_text"};
    return columns;
}

const JournalTable& wholeRunsTable() {
    static const JournalTable table{QStringLiteral("runs"),
                                    runStartTable().columns + runEndColumns()};
    return table;
}

const JournalTable& answersTable() {
    static const JournalTable table{QStringLiteral("answers"),
                                    {"run_id", "seq", "ticket", "question", "chosen", "right",
                                     "correct", "shown_at", "answered_at", "ms_on_question",
                                     "elapsed_s"}};
    return table;
}

const JournalTable& presentedTable() {
    static const JournalTable table{QStringLiteral("presented"),
                                    {"run_id", "ticket", "question", "right", "first_shown_at"}};
    return table;
}

const JournalTable& interruptionsTable() {
    static const JournalTable table{QStringLiteral("interruptions"),
                                    {"run_id", "interrupted_at", "resumed_at", "seconds"}};
    return table;
}

bool selectRunRows(const QSqlDatabase& db, const JournalTable& table, const QString& runId,
                   QList<JournalRow>& rows, QSqlError& error, const QString& condition,
                   const QVariantList& values) {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE run_id = ?%3")
                      .arg(columnList(table.columns), table.name,
                           condition.isEmpty() ? QString() : QStringLiteral(" AND ") + condition));
    query.addBindValue(runId);
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec()) {
        error = query.lastError();
        return false;
    }
    const int width = int(table.columns.size());
    while (query.next()) {
        JournalRow row;
        row.reserve(width);
        for (int k = 0; k < width; ++k)
            row << query.value(k);
        rows << row;
    }
    return true;
}

bool forEachSlice(const QSqlDatabase& db, const JournalTable& table, int slice,
                  const std::function<bool(const QList<JournalRow>&)>& visit, QSqlError& error) {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(
            QStringLiteral("SELECT %1 FROM %2").arg(columnList(table.columns), table.name))) {
        error = query.lastError();
        return false;
    }
    const int width = int(table.columns.size());
    QList<JournalRow> rows;
    const auto flush = [&] {
        const bool ok = rows.isEmpty() || visit(rows);
        rows.clear();
        return ok;
    };
    while (query.next()) {
        JournalRow row;
        row.reserve(width);
        for (int k = 0; k < width; ++k)
            row << query.value(k);
        rows << row;
        if (rows.size() == slice && !flush())
            return false;
    }
    if (query.lastError().isValid()) {
        error = query.lastError();
        return false;
    }
    return flush();
}

bool insertRows(const QSqlDatabase& db, const JournalTable& table, const QList<JournalRow>& rows,
                QSqlError& error, qint64* inserted) {
    const qsizetype width = table.columns.size();
    const qsizetype perStatement = std::max<qsizetype>(1, ValuesPerStatement / width);
    const QString tuple = u'(' + QStringList(width, QStringLiteral("?")).join(u',') + u')';
    QSqlQuery query(db);
    for (qsizetype first = 0; first < rows.size(); first += perStatement) {
        const qsizetype count = std::min(perStatement, rows.size() - first);
        query.prepare(
            QStringLiteral("INSERT INTO %1 (%2) VALUES %3 ON CONFLICT DO NOTHING")
                .arg(table.name, columnList(table.columns), QStringList(count, tuple).join(u',')));
        for (qsizetype k = first; k < first + count; ++k)
            for (const QVariant& value : rows[k])
                query.addBindValue(value);
        if (!query.exec()) {
            error = query.lastError();
            return false;
        }
        if (inserted)
            *inserted += std::max(0, query.numRowsAffected());
        query.finish();
    }
    return true;
}

} // namespace korvel
