#include "app/journal_session.h"

#include "journal/journal.h"

#include <QDir>

namespace korvel {

JournalSession::JournalSession(std::unique_ptr<Journal> journal)
    : journal_(std::move(journal))
    , wasRecording_(journal_->recording()) {}

JournalSession::~JournalSession() = default;

QString JournalSession::takeMessage() {
    QStringList lines;
    if (!journal_->recording() && !told_) {
        told_ = true;
        lines << journal_->problem()
              << QStringLiteral("Тестирование продолжается, но его результаты не сохранятся.");
    }
    if (!journal_->movedAsideTo().isEmpty() && !movedAsideTold_) {
        movedAsideTold_ = true;
        lines << QStringLiteral("Файл журнала результатов был повреждён; он сохранён как\n%1%2")
                     .arg(QDir::toNativeSeparators(journal_->movedAsideTo()),
                          journal_->recording() ? QStringLiteral("\nи начат новый журнал.")
                                                : QString());
    }
    return lines.join(QLatin1Char('\n'));
}

void JournalSession::watch() {
    if (wasRecording_ && !journal_->recording()) {
        wasRecording_ = false;
        if (stoppedRecording)
            stoppedRecording();
    }
}

void JournalSession::runStarted(const RunStartRecord& run) {
    journal_->runStarted(run);
    watch();
}

void JournalSession::questionPresented(const PresentationRecord& presentation) {
    journal_->questionPresented(presentation);
    watch();
}

void JournalSession::answerJudged(const AnswerRecord& answer) {
    journal_->answerJudged(answer);
    watch();
}

void JournalSession::examTimeUsed(const QString& runId, int elapsedSeconds, const QDateTime& at) {
    journal_->examTimeUsed(runId, elapsedSeconds, at);
    watch();
}

void JournalSession::runEnded(const RunEndRecord& end) {
    journal_->runEnded(end);
    watch();
}

} // namespace korvel
