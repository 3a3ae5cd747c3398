#include "journal/journal_csv.h"

#include "journal/journal_failure.h"
#include "journal/journal_reader.h"

#include <QIODevice>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace korvel {

namespace {

constexpr qsizetype FlushSize = 256 * 1024;
constexpr char FieldSeparator = '\x1f';
constexpr char RecordSeparator = '\x1e';

// The tables' columns in their order.
const QStringList RunColumns = {
    "run_id",       "station",    "os_user",       "examinee",         "kind",
    "base_file",    "base_name",  "base_sha256",   "tickets",          "questions_per_ticket",
    "time_limit_s", "started_at", "parent_run_id", "exam_time_used_s", "last_seen_at",
    "ended_at",     "ended_by",   "total",         "right_count",      "wrong_count",
    "unanswered",   "percent",    "grade",         "result_text",
};

const QStringList AnswerColumns = {
    "run_id",  "seq",      "ticket",      "question",       "chosen",    "right",
    "correct", "shown_at", "answered_at", "ms_on_question", "elapsed_s",
};

bool needsQuotes(QByteArrayView value) {
    if (value.isEmpty())
        return false;
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    if (blank(value.front()) || blank(value.back()))
        return true;
    for (char c : value)
        if (c == ',' || c == ';' || c == '"' || c == '\r' || c == '\n')
            return true;
    return false;
}

void appendField(QByteArray& out, QByteArrayView value) {
    if (!needsQuotes(value)) {
        out += value;
        return;
    }
    out += '"';
    for (char c : value) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

// The columns as one blob a row, fields apart by the unit separator, NULL
// as nothing: SQLite's printf is far quicker than Qt handing over each
// value, and the bytes arrive as stored, without a round trip through UTF-16.
QString packedRowSql(const QStringList& columns, const QString& table) {
    QStringList values;
    for (const QString& column : columns)
        values << QStringLiteral("%1.\"%2\"").arg(table, column);
    QString format;
    for (qsizetype k = 0; k < columns.size(); ++k)
        format += (k ? QString(QChar(FieldSeparator)) : QString()) + QStringLiteral("%s");
    return QStringLiteral("printf('%1', %2)").arg(format, values.join(QStringLiteral(", ")));
}

// Appends the CSV lines of the packed records; false when a value itself
// held a separator, so the records cannot be told apart.
bool appendPacked(QByteArray& out, QByteArrayView packed, qsizetype columns) {
    const qsizetype start = out.size();
    qsizetype fields = 0;
    qsizetype from = 0;
    for (qsizetype k = 0; k <= packed.size(); ++k) {
        const char c = k < packed.size() ? packed[k] : RecordSeparator;
        if (c != FieldSeparator && c != RecordSeparator)
            continue;
        if (fields > 0)
            out += ',';
        appendField(out, packed.sliced(from, k - from));
        from = k + 1;
        ++fields;
        if (c == RecordSeparator) {
            if (fields != columns) {
                out.truncate(start);
                return false;
            }
            out += "\r\n";
            fields = 0;
        }
    }
    return true;
}

// The slow way, value by value, for the rare run whose values hold a separator.
bool appendQueried(QByteArray& out, QSqlQuery& query, qsizetype columns) {
    if (!query.exec())
        return false;
    while (query.next()) {
        for (int c = 0; c < columns; ++c) {
            if (c)
                out += ',';
            const QVariant value = query.value(c);
            if (!value.isNull())
                appendField(out, value.toString().toUtf8());
        }
        out += "\r\n";
    }
    return !query.lastError().isValid();
}

} // namespace

bool writeCsv(const JournalReader& reader, const RunFilter& filter, CsvRows rows, QIODevice& out,
              QString& error) {
    const bool runs = rows == CsvRows::Runs;
    // Elsewhere than SQLite (a centre's server) every run goes the slow way.
    const bool packing = reader.database().driverName() == QLatin1String("QSQLITE");
    const QStringList& columns = runs ? RunColumns : AnswerColumns;
    QVariantList values;
    const QString condition = JournalReader::sqlCondition(filter, values);
    // A run's answers come as one blob, composed by a subquery that walks
    // the answers' primary key in seq order.
    QString packed = QStringLiteral("NULL");
    if (packing && runs)
        packed = QStringLiteral("CAST(%1 AS BLOB)").arg(packedRowSql(columns, QStringLiteral("r")));
    else if (packing)
        packed = QStringLiteral("CAST((SELECT group_concat(line, char(30)) FROM (SELECT %1 AS "
                                "line FROM answers a WHERE a.run_id = r.run_id ORDER BY a.seq)) "
                                "AS BLOB)")
                     .arg(packedRowSql(columns, QStringLiteral("a")));
    QSqlQuery query(reader.database());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT r.run_id, r.examinee, r.base_file, r.base_name, "
                                 "%1 FROM runs r WHERE %2 ORDER BY r.started_at DESC, "
                                 "r.run_id DESC")
                      .arg(packed, condition));
    for (const QVariant& value : values)
        query.addBindValue(value);
    QSqlQuery single(reader.database());
    single.setForwardOnly(true);
    single.prepare(QStringLiteral("SELECT \"%1\" FROM %2 WHERE run_id = ?%3")
                       .arg(columns.join(QStringLiteral("\", \"")),
                            runs ? QStringLiteral("runs") : QStringLiteral("answers"),
                            runs ? QString() : QStringLiteral(" ORDER BY seq")));
    if (!query.exec()) {
        error = failureDetail(query.lastError());
        return false;
    }

    QByteArray buffer = "\xEF\xBB\xBF" + columns.join(u',').toUtf8() + "\r\n";
    const auto flush = [&] {
        if (out.write(buffer) != buffer.size()) {
            error = out.errorString();
            return false;
        }
        buffer.clear();
        return true;
    };
    const bool byText = !filter.examinee.isEmpty() || !filter.base.isEmpty();
    while (query.next()) {
        if (byText && !filter.matchesText(query.value(1).toString(), query.value(2).toString(),
                                          query.value(3).toString()))
            continue;
        const QVariant lines = query.value(4);
        if (packing && lines.isNull())
            continue; // a run without answers
        if (!packing || !appendPacked(buffer, lines.toByteArray(), columns.size())) {
            single.addBindValue(query.value(0));
            if (!appendQueried(buffer, single, columns.size())) {
                error = failureDetail(single.lastError());
                return false;
            }
        }
        if (buffer.size() >= FlushSize && !flush())
            return false;
    }
    if (query.lastError().isValid()) {
        error = failureDetail(query.lastError());
        return false;
    }
    return flush();
}

} // namespace korvel
