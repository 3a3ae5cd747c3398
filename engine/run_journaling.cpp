// What the handlers tell the results journal. Every call is a no-op without
// a journal, so a program without one runs exactly as before.
#include "basestore/base_digest.h"
#include "basestore/descriptor.h"
#include "engine/grading.h"
#include "engine/run_engine.h"
#include "engine/run_resume.h"
#include "richtext/base_text.h"
#include "settings/live_settings.h"

#include <QFileInfo>
#include <QUuid>

namespace korvel {

namespace {

QList<int> answerNumbers(const QByteArray& cell) {
    QList<int> numbers;
    for (int n = 1; n <= cell.size(); ++n) {
        if (cell.at(n - 1) != 0)
            numbers.append(n);
    }
    return numbers;
}

RunKind gradingKind(RecordedRunKind kind) {
    switch (kind) {
    case RecordedRunKind::Preparation:
        return RunKind::Preparation;
    case RecordedRunKind::Exam:
        return RunKind::Exam;
    case RecordedRunKind::WorkOnErrors:
        return RunKind::WorkOnErrors;
    }
    return RunKind::Exam;
}

} // namespace

RunEndRecord interruptedEnd(const QString& runId, RecordedRunKind kind, int total, int right,
                            int wrong, const QDateTime& at) {
    RunEndRecord end;
    end.runId = runId;
    end.endedAt = at;
    end.endedBy = RunEnding::Interrupted;
    end.total = total;
    end.rightCount = right;
    end.wrongCount = wrong;
    end.unanswered = qMax(0, total - right - wrong);
    end.percent = percentage(right, total);
    const int grade = gradeFor(end.percent);
    end.grade = grade;
    end.resultText = resultText(gradingKind(kind), isGoodGrade(grade)) + QString::number(grade);
    return end;
}

QDateTime RunEngine::utcNow() const {
    return env_.utcNow ? env_.utcNow() : QDateTime::currentDateTimeUtc();
}

QString RunEngine::baseSha256() {
    if (baseSha256_.isEmpty())
        baseSha256_ = baseArchiveSha256(state_.CurrentBasePath);
    return baseSha256_;
}

void RunEngine::recordRunStart(RecordedRunKind kind, int questions) {
    if (!env_.recorder)
        return;
    // A run still open here was left through the main menu in its last lamp
    // interval, which the new run has just cut short.
    if (journalRun_.open)
        recordRunEnd(RunEnding::MainMenu);
    RunStartRecord run;
    run.runId = QUuid::createUuid().toString(QUuid::WithoutBraces);
    run.kind = kind;
    if (kind == RecordedRunKind::Exam)
        run.examinee = examInfo_.spSkinEdit1;
    run.baseFile = QFileInfo(state_.CurrentBasePath).fileName();
    ByteStream descriptor = state_.BaseDescriptor;
    run.baseName = fromBaseText(descriptorName(descriptor));
    run.baseSha256 = baseSha256();
    for (int t = 1; t <= state_.TicketCount; ++t) {
        if (state_.isChosen(t))
            run.tickets.append(t);
    }
    run.questionsPerTicket = state_.QuestionsPerTicket;
    const bool timed = kind == RecordedRunKind::Exam && env_.settings->timeEkz();
    if (timed)
        run.timeLimitSeconds = env_.settings->timeEkzSek() * 60;
    run.startedAt = utcNow();
    if (kind == RecordedRunKind::WorkOnErrors)
        run.parentRunId = journalRun_.id;

    journalRun_ = JournalRun{};
    journalRun_.id = run.runId;
    journalRun_.kind = kind;
    journalRun_.open = true;
    journalRun_.timed = timed;
    journalRun_.total = questions;
    env_.recorder->runStarted(run);
}

void RunEngine::recordPresentation() {
    if (!env_.recorder || !journalRun_.open || state_.AnalysisFlag)
        return;
    PresentationRecord presentation;
    presentation.runId = journalRun_.id;
    presentation.ticket = state_.CurrentTicket;
    presentation.question = state_.CurrentQuestion;
    // An unreadable record leaves the defaults' answer 1 in the state; the
    // journal tells such a question by having no right answers.
    if (!recordUnreadable_)
        presentation.right =
            answerNumbers(state_.RightAnswers.cell(state_.CurrentTicket, state_.CurrentQuestion));
    presentation.shownAt = utcNow();
    journalRun_.shownAt = presentation.shownAt;
    env_.recorder->questionPresented(presentation);
}

void RunEngine::recordAnswer(bool correct) {
    if (!env_.recorder || !journalRun_.open)
        return;
    const int t = state_.CurrentTicket;
    const int q = state_.CurrentQuestion;
    AnswerRecord answer;
    answer.runId = journalRun_.id;
    answer.seq = ++journalRun_.seq;
    answer.ticket = t;
    answer.question = q;
    answer.chosen = answerNumbers(state_.ChosenAnswers.cell(t, q));
    answer.right = answerNumbers(state_.RightAnswers.cell(t, q));
    answer.correct = correct;
    answer.answeredAt = utcNow();
    answer.shownAt = journalRun_.shownAt.isValid() ? journalRun_.shownAt : answer.answeredAt;
    answer.msOnQuestion = qMax<qint64>(0, answer.shownAt.msecsTo(answer.answeredAt));
    answer.elapsedSeconds = journalRun_.timed ? page_.timeGoValue : 0;
    env_.recorder->answerJudged(answer);
}

void RunEngine::recordExamTime() {
    if (env_.recorder && journalRun_.open && journalRun_.timed)
        env_.recorder->examTimeUsed(journalRun_.id, page_.timeGoValue, utcNow());
}

void RunEngine::recordRunEnd(RunEnding ending) {
    if (!env_.recorder || !journalRun_.open)
        return;
    journalRun_.open = false;
    RunEndRecord end;
    end.runId = journalRun_.id;
    end.endedAt = utcNow();
    end.endedBy = ending;
    // A question passed over for an unreadable record is out of the run's
    // count, as on the results page: the grade recorded is the grade shown.
    end.total = journalRun_.total - int(state_.passedOver.size());
    end.rightCount = page_.greenLabel;
    end.wrongCount = page_.redLabel;
    end.unanswered = qMax(0, end.total - end.rightCount - end.wrongCount);
    end.percent = percentage(end.rightCount, end.total);
    if (ending == RunEnding::LastAnswer || ending == RunEnding::TimeLimit) {
        end.grade = gradeFor(end.percent);
        end.resultText = results_.analizStr;
    }
    env_.recorder->runEnded(end);
}

void RunEngine::recordLeaving() {
    // The answer of a lamp interval under way counts already; with no
    // question left the lamp timer still grades the run.
    if (journalRun_.open && journalRun_.total - page_.greenLabel - page_.redLabel > 0)
        recordRunEnd(RunEnding::MainMenu);
}

void RunEngine::windowClosing() {
    if (journalRun_.open)
        recordRunEnd(RunEnding::MainMenu);
}

} // namespace korvel
