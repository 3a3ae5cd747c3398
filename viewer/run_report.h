#pragma once

#include "journal/journal.h"
#include "report/report_composition.h"

#include <QByteArray>
#include <QHash>
#include <QPair>

namespace korvel {

// The answer matrices of a past run as far as the journal tells them: the
// chosen flags of each answered question (its last answer), and the right
// flags of each question presented or answered.
struct StoredRunCells {
    QHash<QPair<int, int>, QByteArray> chosen;
    QHash<QPair<int, int>, QByteArray> right;
};

StoredRunCells cellsOf(const StoredRun& run);

// What composeReport needs to give the report the results page would have
// given for this run, with the question texts read from `basePath`. `cells`
// and `archiver` must outlive the input.
ReportInput reportInputFor(const StoredRun& run, const StoredRunCells& cells,
                           const QString& basePath, Archiver& archiver);

} // namespace korvel
