#include "viewer/run_report.h"

#include "basestore/question_record.h"
#include "engine/grading.h"

namespace korvel {

namespace {

QByteArray flagsOf(const QList<int>& answers) {
    QByteArray cell(AnswerCount, '\0');
    for (int k : answers)
        if (k >= 1 && k <= AnswerCount)
            cell[k - 1] = 1;
    return cell;
}

} // namespace

StoredRunCells cellsOf(const StoredRun& run) {
    StoredRunCells cells;
    for (const StoredPresentation& shown : run.presented)
        cells.right.insert({shown.ticket, shown.question}, flagsOf(shown.right));
    // Answers in seq order: a question answered again (work on errors of the
    // same run never is, but a journal may say so) keeps its last answer.
    for (const StoredAnswer& answer : run.answers) {
        cells.chosen.insert({answer.ticket, answer.question}, flagsOf(answer.chosen));
        cells.right.insert({answer.ticket, answer.question}, flagsOf(answer.right));
    }
    return cells;
}

ReportInput reportInputFor(const StoredRun& run, const StoredRunCells& cells,
                           const QString& basePath, Archiver& archiver) {
    ReportInput input;
    input.examineeName = run.start.examinee;
    input.chosenTickets = run.start.tickets;
    input.questionsPerTicket = run.start.questionsPerTicket;
    if (run.end) {
        input.remain = run.end->unanswered;
        input.green = run.end->rightCount;
        input.red = run.end->wrongCount;
        input.analizStr = run.end->resultText;
        input.percent = run.end->percent;
    } else {
        // Still running (or left by a crash not yet found): the counters as
        // the answers so far make them.
        for (const auto& [key, cell] : cells.chosen.asKeyValueRange())
            ++(cell == cells.right.value(key) ? input.green : input.red);
        input.remain =
            int(run.start.tickets.size()) * run.start.questionsPerTicket - input.green - input.red;
        input.percent = percentage(input.green, input.green + input.red + input.remain);
    }
    input.good = run.end && run.end->grade ? isGoodGrade(*run.end->grade)
                                           : isGoodGrade(gradeFor(input.percent));
    const QByteArray none(AnswerCount, '\0');
    input.chosenCell = [&cells, none](int t, int q) { return cells.chosen.value({t, q}, none); };
    input.rightCell = [&cells, none](int t, int q) { return cells.right.value({t, q}, none); };
    input.basePath = basePath;
    input.archiver = &archiver;
    return input;
}

} // namespace korvel
