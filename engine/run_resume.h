#pragma once

#include "engine/run_recorder.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

namespace korvel {

// An exam as the journal left it, for the engine to go on with. The program
// fills it from its journal; the engine knows nothing of storage.
struct ResumedAnswer {
    int ticket = 0;
    int question = 0;
    QList<int> chosen; // answer numbers 1..5
    QList<int> right;
    bool correct = false;
};

struct ResumedExam {
    QString runId;
    QString examinee;
    QList<int> tickets; // the drawn tickets
    std::optional<int> timeLimitSeconds;
    int timeUsedSeconds = 0; // where the exam clock goes on from
    int lastSeq = 0;         // of the last answer recorded
    QList<ResumedAnswer> answers;
};

// The exam time to go on from: the time the clock had used, plus the time
// the program was not running when the wall clock counts; never past the limit.
int resumedTimeUsed(int recordedSeconds, const QDateTime& lastSeen, const QDateTime& now,
                    bool wallClockCounts, std::optional<int> limitSeconds);

// True when every ticket, question and answer number of the exam lies in a
// base of these counts and every answer belongs to a drawn ticket.
bool fitsBase(const ResumedExam& exam, int tickets, int questionsPerTicket);

// The end of a run found unfinished: graded on its counts as they stood,
// every unanswered question counted.
RunEndRecord interruptedEnd(const QString& runId, RecordedRunKind kind, int total, int right,
                            int wrong, const QDateTime& at);

} // namespace korvel
