#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

namespace korvel {

// What the engine tells the results journal as a run happens. The engine
// knows nothing of storage; the journal implements this, and tests record
// the calls. Every call returns at once and never throws: a journal that
// cannot write says so itself, once, and the run goes on.

enum class RecordedRunKind { Preparation, Exam, WorkOnErrors };

// How a run ended: its last answer, the exam time, the main menu while
// questions remained, or a crash found at the next start.
enum class RunEnding { LastAnswer, TimeLimit, MainMenu, Interrupted };

struct RunStartRecord {
    QString runId; // a UUID without braces
    RecordedRunKind kind = RecordedRunKind::Preparation;
    QString examinee;   // the name typed for an exam; empty otherwise
    QString baseFile;   // the archive's file name
    QString baseName;   // the descriptor's Name
    QString baseSha256; // of the archive file, lower-case hex
    QList<int> tickets; // the chosen tickets, ascending
    int questionsPerTicket = 0;
    std::optional<int> timeLimitSeconds; // null without a time limit
    QDateTime startedAt;                 // UTC
    QString parentRunId;                 // work on errors: the run it works on
};

struct PresentationRecord {
    QString runId;
    int ticket = 0;
    int question = 0;
    QList<int> right; // the right answer numbers, ascending
    QDateTime shownAt;
};

struct AnswerRecord {
    QString runId;
    int seq = 0; // 1, 2, ... in the order answered within the run
    int ticket = 0;
    int question = 0;
    QList<int> chosen; // answer numbers, ascending
    QList<int> right;
    bool correct = false;
    QDateTime shownAt;
    QDateTime answeredAt;
    qint64 msOnQuestion = 0;
    int elapsedSeconds = 0; // exam time used when the answer was judged
};

struct RunEndRecord {
    QString runId;
    QDateTime endedAt;
    RunEnding endedBy = RunEnding::LastAnswer;
    int total = 0;
    int rightCount = 0;
    int wrongCount = 0;
    int unanswered = 0;
    int percent = 0;
    std::optional<int> grade; // 2..5; null for a run left unfinished
    QString resultText;       // the result line exactly as shown
};

class RunRecorder {
public:
    virtual ~RunRecorder() = default;
    virtual void runStarted(const RunStartRecord& run) = 0;
    virtual void questionPresented(const PresentationRecord& presentation) = 0;
    virtual void answerJudged(const AnswerRecord& answer) = 0;
    // The exam clock, each second while it runs: the time used so far.
    virtual void examTimeUsed(const QString& runId, int elapsedSeconds, const QDateTime& at) = 0;
    virtual void runEnded(const RunEndRecord& end) = 0;
};

} // namespace korvel
