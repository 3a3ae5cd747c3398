#pragma once

#include "engine/run_recorder.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <memory>
#include <optional>

namespace korvel {

// A run as the journal holds it, with everything needed to show, report or
// resume it.
struct StoredAnswer {
    int seq = 0;
    int ticket = 0;
    int question = 0;
    QList<int> chosen;
    QList<int> right;
    bool correct = false;
    QDateTime shownAt;
    QDateTime answeredAt;
    qint64 msOnQuestion = 0;
    int elapsedSeconds = 0;
};

struct StoredPresentation {
    int ticket = 0;
    int question = 0;
    QList<int> right;
    QDateTime firstShownAt;
};

struct StoredInterruption {
    QDateTime interruptedAt; // the last moment the journal heard of the run
    QDateTime resumedAt;     // null when the run was not resumed
    qint64 seconds = 0;      // how long it was interrupted
};

struct StoredRun {
    RunStartRecord start;
    QString station;
    QString osUser;
    std::optional<RunEndRecord> end; // null while the run has not ended
    int examTimeUsed = 0;            // seconds, the last the exam clock told
    QDateTime lastSeenAt;            // the last moment anything was recorded
    QList<StoredAnswer> answers;     // by seq
    QList<StoredPresentation> presented;
    QList<StoredInterruption> interruptions;
};

// The local results journal: an SQLite file (WAL, synchronous=FULL), every
// call committed before it returns. A journal that cannot be opened or
// written goes on without recording; problem() then says why, in a sentence
// the program shows the user once.
class Journal final : public RunRecorder {
public:
    // Opens or creates the file. A file that is not a journal database is
    // moved aside as "<name>.damaged-<yyyyMMdd-HHmmss>" and a new one started.
    static std::unique_ptr<Journal> open(const QString& path, const QString& station,
                                         const QString& osUser);
    ~Journal() override;

    bool recording() const;
    QString problem() const;      // empty while recording
    QString movedAsideTo() const; // the damaged file's new path, if one was moved

    void runStarted(const RunStartRecord& run) override;
    void questionPresented(const PresentationRecord& presentation) override;
    void answerJudged(const AnswerRecord& answer) override;
    void examTimeUsed(const QString& runId, int elapsedSeconds, const QDateTime& at) override;
    void runEnded(const RunEndRecord& end) override;

    // Runs of this station and OS user that have not ended, newest first.
    QList<StoredRun> unfinishedRuns() const;
    std::optional<StoredRun> run(const QString& runId) const;
    // A resumed run goes on as the same run; the gap is kept as an interruption.
    void runResumed(const QString& runId, const QDateTime& interruptedAt,
                    const QDateTime& resumedAt);

private:
    class Private;
    explicit Journal(std::unique_ptr<Private> d);
    std::unique_ptr<Private> d;
};

} // namespace korvel
