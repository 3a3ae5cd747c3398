#include "journal/journal_csv.h"

#include "journal/journal_failure.h"
#include "journal/journal_reader.h"
#include "journal/stored_run_reading.h"

#include <QIODevice>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace korvel {

namespace {

constexpr qsizetype FlushSize = 256 * 1024;

const char* const AnswerColumns = "a.run_id, a.seq, a.ticket, a.question, a.chosen, a.\"right\", "
                                  "a.correct, a.shown_at, a.answered_at, a.ms_on_question, "
                                  "a.elapsed_s";

bool needsQuotes(const QString& value) {
    if (value.isEmpty())
        return false;
    if (value.front().isSpace() || value.back().isSpace())
        return true;
    for (QChar c : value)
        if (c == u',' || c == u';' || c == u'"' || c == u'\r' || c == u'\n')
            return true;
    return false;
}

} // namespace

QByteArray csvField(const QString& value) {
    if (!needsQuotes(value))
        return value.toUtf8();
    QString quoted = value;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return '"' + quoted.toUtf8() + '"';
}

bool writeCsv(const JournalReader& reader, const RunFilter& filter, CsvRows rows, QIODevice& out,
              QString& error) {
    QVariantList values;
    const QString condition = JournalReader::sqlCondition(filter, values);
    // The name and base filters are applied here, from the three last columns.
    const QString statement =
        rows == CsvRows::Runs
            ? QStringLiteral("SELECT %1, examinee, base_file, base_name FROM runs WHERE %2 "
                             "ORDER BY started_at DESC, run_id")
                  .arg(QLatin1String(StoredRunColumns), condition)
            : QStringLiteral("SELECT %1, r.examinee, r.base_file, r.base_name FROM runs r "
                             "JOIN answers a ON a.run_id = r.run_id WHERE %2 "
                             "ORDER BY r.started_at DESC, r.run_id, a.seq")
                  .arg(QLatin1String(AnswerColumns), condition);
    QSqlQuery query(reader.database());
    query.setForwardOnly(true);
    query.prepare(statement);
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec()) {
        error = failureDetail(query.lastError());
        return false;
    }
    const QSqlRecord record = query.record();
    const int columns = record.count() - 3;
    QByteArray buffer = "\xEF\xBB\xBF";
    for (int c = 0; c < columns; ++c) {
        if (c)
            buffer += ',';
        buffer += record.fieldName(c).toUtf8();
    }
    buffer += "\r\n";
    const auto flush = [&] {
        if (out.write(buffer) != buffer.size()) {
            error = out.errorString();
            return false;
        }
        buffer.clear();
        return true;
    };
    const bool filtered = !filter.examinee.isEmpty() || !filter.base.isEmpty();
    while (query.next()) {
        if (filtered && !filter.matchesText(query.value(columns).toString(),
                                            query.value(columns + 1).toString(),
                                            query.value(columns + 2).toString()))
            continue;
        for (int c = 0; c < columns; ++c) {
            if (c)
                buffer += ',';
            const QVariant value = query.value(c);
            if (!value.isNull())
                buffer += csvField(value.toString());
        }
        buffer += "\r\n";
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
