#pragma once

#include "engine/run_recorder.h"
#include "journal/journal_reader.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

class QSqlDatabase;

namespace korvel {

// Item analysis of one base over the finished runs (ended by the last
// answer or the time limit) of one kind whose base_sha256 is the base's.
// Where a run answered a question more than once, its last answer counts.
struct QuestionStatistics {
    int ticket = 0;
    int question = 0;
    int presented = 0;                    // runs that presented it
    int answered = 0;                     // runs that answered it
    int right = 0;                        // runs that answered it right
    std::optional<double> facility;       // right / answered
    std::optional<double> discrimination; // Pearson r of its score with the rest of the run
    std::array<int, 5> choices{};         // answers that chose answer k, at k - 1
    QStringList flags; // negative_discrimination, too_hard (facility < 0.2), too_easy (> 0.95)
};

struct TicketStatistics {
    int ticket = 0;
    int runs = 0;                // runs that answered every question of the ticket
    std::optional<double> alpha; // Cronbach's alpha (KR-20), sample variances
};

struct ItemAnalysis {
    QString baseSha256;
    int runs = 0;
    QList<QuestionStatistics> questions; // by ticket and question
    QList<TicketStatistics> tickets;     // by ticket
};

// One pass over the answers; nullopt (and `error`) when the reading failed.
// Work on errors is never analysed. `filter` narrows the runs further (its
// kind and base digest are the arguments'). On SQLite a packed query reads
// one value a run; elsewhere (a centre's server) the row-by-row way.
std::optional<ItemAnalysis> analyseItems(const QSqlDatabase& db, const QString& baseSha256,
                                         RecordedRunKind kind, QString& error,
                                         const RunFilter& filter = {});
// The same in standard SQL, an answer a row.
std::optional<ItemAnalysis> analyseItemsRowByRow(const QSqlDatabase& db, const QString& baseSha256,
                                                 RecordedRunKind kind, QString& error,
                                                 const RunFilter& filter = {});

// {"base_sha256", "runs", "questions": [...], "tickets": [...]}, a figure
// that cannot be computed as null.
QJsonObject itemAnalysisJson(const ItemAnalysis& analysis);

} // namespace korvel
