#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

namespace korvel {

class JournalReader;
struct RunFilter;

enum class CsvRows { Runs, Answers };

// The runs the filter leaves, newest first (or their answers, by run and
// seq), as CSV for spreadsheet programs: a header row of the column names,
// UTF-8 with a byte order mark, RFC 4180 quoting, CRLF line ends; the values
// as the journal holds them, NULL as an empty field. Streamed: memory does
// not grow with the journal. False (and `error`) on a read or write failure.
bool writeCsv(const JournalReader& reader, const RunFilter& filter, CsvRows rows, QIODevice& out,
              QString& error);

// One field, quoted when it holds a separator (',' or the ';' that
// spreadsheets in many locales split on), a quote, a line break or
// surrounding blanks.
QByteArray csvField(const QString& value);

} // namespace korvel
