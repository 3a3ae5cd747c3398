#pragma once

#include "journal/journal.h"
#include "report/report_composition.h"

#include <QSet>
#include <utility>

namespace korvel {

class Archiver;

// What the results page composed the report of an ended run from, rebuilt
// from the journal: the counts and the result line of the run's end, the
// right answers of every question presented and the last choice of every
// question answered, and the questions it passed over. basePath must be the base the run was sat on
// (the caller checks its SHA-256). The cells are the input's own copies. The questions a run passed
// over: presented without right answers (the record could not be read) and never answered.
QSet<std::pair<int, int>> passedOverQuestions(const StoredRun& run);

ReportInput pastReportInput(const StoredRun& run, const QString& basePath, Archiver& archiver);

} // namespace korvel
