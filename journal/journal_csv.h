#pragma once

#include <QString>

class QIODevice;

namespace korvel {

class JournalReader;
struct RunFilter;

enum class CsvRows { Runs, Answers };

// The runs the filter leaves, newest first (or their answers, by run and
// seq), as CSV for spreadsheet programs: a header row of the column names,
// UTF-8 with a byte order mark, CRLF line ends, the values as the journal
// holds them and NULL as an empty field. A field is quoted (RFC 4180) when
// it holds a comma, the semicolon that spreadsheets in many locales split
// on, a quote, a line break, or blanks at either end. SQLite composes each
// run's lines, so 100,000 runs stream through in seconds and memory does not
// grow with the journal. False (and `error`) on a read or write failure.
bool writeCsv(const JournalReader& reader, const RunFilter& filter, CsvRows rows, QIODevice& out,
              QString& error);

} // namespace korvel
