#pragma once

#include "engine/run_recorder.h"

#include <QString>
#include <functional>
#include <memory>

namespace korvel {

class Journal;

// The program's results journal as the run engine sees it: every call goes
// on to the journal, and the moment the journal stops recording is caught,
// so the user hears of it once, whenever it happens.
class JournalSession final : public RunRecorder {
public:
    explicit JournalSession(std::unique_ptr<Journal> journal);
    ~JournalSession() override;

    Journal& journal() { return *journal_; }
    // The one message about the journal still to be shown, or empty: why
    // nothing is recorded, or where a damaged journal file was moved. Each
    // is given once.
    QString takeMessage();
    // Called once, after the call during which the journal stopped recording.
    std::function<void()> stoppedRecording;

    void runStarted(const RunStartRecord& run) override;
    void questionPresented(const PresentationRecord& presentation) override;
    void answerJudged(const AnswerRecord& answer) override;
    void examTimeUsed(const QString& runId, int elapsedSeconds, const QDateTime& at) override;
    void runEnded(const RunEndRecord& end) override;

private:
    void watch();

    std::unique_ptr<Journal> journal_;
    bool wasRecording_ = false;
    bool told_ = false;
    bool movedAsideTold_ = false;
};

} // namespace korvel
