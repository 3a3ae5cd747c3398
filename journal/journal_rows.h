#pragma once

#include <QList>
#include <QSqlError>
#include <QStringList>
#include <QVariant>
#include <functional>

class QSqlDatabase;

namespace korvel {

// The journal's version-1 columns, which the local file and the server hold
// alike; rows are copied between them value for value, so a time or a list
// arrives exactly as it was written.
using JournalRow = QVariantList;

struct JournalTable {
    QString name;
    QStringList columns;
};

// runs without its end columns: what a station may insert on the server.
const JournalTable& runStartTable();
// The end columns of runs, in the order of the server's end function.
const QStringList& runEndColumns();
const JournalTable& answersTable();
const JournalTable& presentedTable();
const JournalTable& interruptionsTable();

// runs with every column, start and end.
const JournalTable& wholeRunsTable();

// SELECT of the table's columns for one run, with `condition` (SQL on the
// table's columns, bound to `values`) added when not empty.
bool selectRunRows(const QSqlDatabase& db, const JournalTable& table, const QString& runId,
                   QList<JournalRow>& rows, QSqlError& error, const QString& condition = {},
                   const QVariantList& values = {});

// Every row of the table, handed to `visit` in slices of at most `slice`
// rows, so that a large journal is copied without holding it in memory.
bool forEachSlice(const QSqlDatabase& db, const JournalTable& table, int slice,
                  const std::function<bool(const QList<JournalRow>&)>& visit, QSqlError& error);

// Multi-row INSERT ... ON CONFLICT DO NOTHING in chunks: a row already there
// stays as it was. `inserted`, when given, grows by the rows that were new.
bool insertRows(const QSqlDatabase& db, const JournalTable& table, const QList<JournalRow>& rows,
                QSqlError& error, qint64* inserted = nullptr);

} // namespace korvel
