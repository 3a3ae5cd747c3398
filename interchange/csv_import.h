#pragma once

#include "question_bank.h"

#include <QByteArray>
#include <QString>

namespace korvel {

// One field-split CSV record and the line it starts on.
struct CsvRecord {
    QStringList cells;
    int line = 0;
};

// RFC 4180 records of UTF-8 text (BOM or not); the separator is ',' or ';',
// whichever the first record holds more of outside quotes.
QList<CsvRecord> readCsvRecords(const QString& text, QStringList* warnings);

// A question table in the layout of the tool's README: ticket, question,
// answer1 ... answer5, right ("2" or "1;3"), picture. Pictures are files of
// `pictureFolder` named without a folder; none are read when it is empty.
QuestionBank importCsv(const QByteArray& csv, const QString& pictureFolder);

} // namespace korvel
