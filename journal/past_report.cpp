#include "journal/past_report.h"

#include "engine/grading.h"

#include <QMap>
#include <QSet>
#include <memory>

namespace korvel {

namespace {

using Cells = QMap<std::pair<int, int>, QByteArray>;

QByteArray cellOf(const QList<int>& answers) {
    QByteArray cell(5, '\0');
    for (int k : answers)
        if (k >= 1 && k <= 5)
            cell[k - 1] = 1;
    return cell;
}

std::function<QByteArray(int, int)> lookup(std::shared_ptr<const Cells> cells) {
    return [cells](int t, int q) { return cells->value({t, q}, QByteArray(5, '\0')); };
}

} // namespace

QSet<std::pair<int, int>> passedOverQuestions(const StoredRun& run) {
    QSet<std::pair<int, int>> questions;
    for (const StoredPresentation& p : run.presented)
        if (p.right.isEmpty())
            questions.insert({p.ticket, p.question});
    for (const StoredAnswer& a : run.answers)
        questions.remove({a.ticket, a.question});
    return questions;
}

ReportInput pastReportInput(const StoredRun& run, const QString& basePath, Archiver& archiver) {
    auto chosen = std::make_shared<Cells>();
    auto right = std::make_shared<Cells>();
    for (const StoredPresentation& p : run.presented)
        right->insert({p.ticket, p.question}, cellOf(p.right));
    for (const StoredAnswer& a : run.answers) {
        chosen->insert({a.ticket, a.question}, cellOf(a.chosen));
        right->insert({a.ticket, a.question}, cellOf(a.right));
    }
    auto passedOver = std::make_shared<const QSet<std::pair<int, int>>>(passedOverQuestions(run));
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
        input.good = run.end->grade && isGoodGrade(*run.end->grade);
    }
    input.chosenCell = lookup(chosen);
    input.rightCell = lookup(right);
    input.passedOver = [passedOver](int t, int q) { return passedOver->contains({t, q}); };
    input.basePath = basePath;
    input.archiver = &archiver;
    return input;
}

} // namespace korvel
