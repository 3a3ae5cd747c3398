#include "engine/run_resume.h"

#include "engine/exam_clock.h"
#include "engine/navigation.h"
#include "engine/run_engine.h"
#include "engine/run_window.h"
#include "report/report_composition.h"
#include "settings/live_settings.h"

#include <QHash>
#include <QPair>
#include <QSet>
#include <algorithm>
#include <limits>

namespace korvel {

int resumedTimeUsed(int recordedSeconds, const QDateTime& lastSeen, const QDateTime& now,
                    bool wallClockCounts, std::optional<int> limitSeconds) {
    qint64 used = qMax(0, recordedSeconds);
    if (wallClockCounts && lastSeen.isValid() && now.isValid())
        used += qMax<qint64>(0, lastSeen.secsTo(now));
    if (limitSeconds)
        used = qMin<qint64>(used, qMax(0, *limitSeconds));
    return int(qMin<qint64>(used, std::numeric_limits<int>::max()));
}

bool fitsBase(const ResumedExam& exam, int tickets, int questionsPerTicket) {
    if (exam.tickets.isEmpty() || exam.runId.isEmpty())
        return false;
    const QSet<int> drawn(exam.tickets.begin(), exam.tickets.end());
    for (int t : drawn) {
        if (t < 1 || t > tickets)
            return false;
    }
    const auto answerNumbersFit = [](const QList<int>& numbers) {
        return std::all_of(numbers.begin(), numbers.end(),
                           [](int n) { return n >= 1 && n <= AnswerMatrix::AnswerCount; });
    };
    return std::all_of(exam.answers.begin(), exam.answers.end(), [&](const ResumedAnswer& a) {
        return drawn.contains(a.ticket) && a.question >= 1 && a.question <= questionsPerTicket &&
               !a.chosen.isEmpty() && answerNumbersFit(a.chosen) && answerNumbersFit(a.right);
    });
}

bool RunEngine::resumeExam(const ResumedExam& exam) {
    if (!fitsBase(exam, state_.TicketCount, state_.QuestionsPerTicket))
        return false;
    // As the exam start left it: the exam's marker, its tickets and name.
    MemePosBack();
    state_.spSkinButton12ShowHint = false;
    state_.spSkinButton10ShowHint = true;
    rebuildTicketList();
    for (int t : exam.tickets)
        state_.ChosenTickets[t - 1] = true;
    examInfo_.spSkinEdit1 = exam.examinee;
    QList<int> drawn;
    for (int t = 1; t <= state_.TicketCount; ++t) {
        if (state_.isChosen(t))
            drawn.append(t);
    }
    examInfo_.spSkinEdit2 = ticketListText(drawn);
    DisabledWatch();
    prepareRunStart();
    env_.window->showRunPage(RunPage::Question);
    clearChosenOfCheckedTickets();

    // The answers given; a question answered twice counts once, as its last.
    QHash<QPair<int, int>, bool> judged;
    for (const ResumedAnswer& answer : exam.answers) {
        state_.ChosenAnswers.clearCell(answer.ticket, answer.question);
        state_.RightAnswers.clearCell(answer.ticket, answer.question);
        for (int n : answer.chosen)
            state_.ChosenAnswers.setFlag(answer.ticket, answer.question, n, true);
        for (int n : answer.right)
            state_.RightAnswers.setFlag(answer.ticket, answer.question, n, true);
        judged.insert({answer.ticket, answer.question}, answer.correct);
    }
    const int total = int(drawn.size()) * state_.QuestionsPerTicket;
    const int green = int(std::count(judged.cbegin(), judged.cend(), true));
    const int red = int(judged.size()) - green;

    journalRun_ = JournalRun{};
    journalRun_.id = exam.runId;
    journalRun_.kind = RecordedRunKind::Exam;
    journalRun_.open = true;
    journalRun_.timed = exam.timeLimitSeconds.has_value();
    journalRun_.total = total;
    journalRun_.seq = exam.lastSeq;

    page_.qButtonVisible = false;
    page_.infoButtonVisible = env_.settings->ekzInfo();
    page_.greenLabel = green;
    page_.redLabel = red;
    page_.buttonRemain = total - green - red;
    if (journalRun_.timed) {
        page_.timeGoVisible = true;
        page_.timeGoMaximum = *exam.timeLimitSeconds;
        page_.timeGoValue = qBound(0, exam.timeUsedSeconds, page_.timeGoMaximum);
        if (page_.timeGoValue > 0) {
            const ClockTexts texts = countdownTexts(page_.timeGoValue, page_.timeGoMaximum / 60);
            page_.minText = texts.min;
            page_.secText = texts.sec;
        }
    }
    state_.RunMode = QStringLiteral("Ekz");
    if (page_.buttonRemain <= 0) {
        endRun(RunEnding::LastAnswer);
        return true;
    }
    if (journalRun_.timed && page_.timeGoValue >= page_.timeGoMaximum) {
        endRun(RunEnding::TimeLimit);
        return true;
    }
    if (journalRun_.timed)
        timer1_.start();

    for (int t : drawn) {
        const int q = firstUnansweredFrom(state_, t, 1);
        if (q != 0) {
            state_.CurrentTicket = t;
            state_.CurrentQuestion = q;
            break;
        }
    }
    page_.buttonBilet = state_.CurrentTicket;
    page_.buttonVopros = state_.CurrentQuestion;
    ShowZamtor();
    ButtonsEnable();
    env_.window->focusQuestionText();
    emitChanged();
    return true;
}

} // namespace korvel
