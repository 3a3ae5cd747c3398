#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace korvel {

// What one journal brought into another.
struct MergeCount {
    QString source;
    qint64 runsAdded = 0; // runs the target did not hold
    qint64 runsEnded = 0; // runs the target held unfinished and the source ended
    qint64 answersAdded = 0;
};

// Copies every run of the source journals into the target (created when it
// does not exist), each source in one transaction. A run, answer,
// presentation or interruption the target already holds stays as it was, so
// merging the same journal twice adds nothing. The sources are only read.
// False with a sentence in `problem`; the sources merged before stay merged.
bool mergeJournals(const QStringList& sources, const QString& target, QList<MergeCount>& counts,
                   QString& problem);

} // namespace korvel
