#include "journal/journal_values.h"
#include "journal_arguments.h"

namespace korvel {

namespace {

// Times as the person at this machine reads them.
QString shownTime(const QDateTime& time) {
    return time.isValid() ? time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                          : QStringLiteral("-");
}

QString resultSummary(const StoredRun& run) {
    if (!run.end)
        return QStringLiteral("not ended");
    const RunEndRecord& end = *run.end;
    const QString ending = endingWord(end.endedBy);
    if (!end.grade)
        return QStringLiteral("%1/%2 right, %3").arg(end.rightCount).arg(end.total).arg(ending);
    return QStringLiteral("grade %1, %2/%3 right, %4")
        .arg(*end.grade)
        .arg(end.rightCount)
        .arg(end.total)
        .arg(ending);
}

QString cell(const QString& text, int width) {
    return text.leftJustified(width, u' ', true) + u' ';
}

} // namespace

int journalList(CommandContext& context, const JournalArguments& arguments) {
    RunFilter filter;
    if (!runFilterFrom(context, arguments, filter))
        return ExitUsage;
    const std::unique_ptr<JournalReader> reader = openJournalForReading(context, arguments);
    if (!reader)
        return ExitProblems;
    context.out << cell("RUN", 8) << cell("STARTED", 19) << cell("KIND", 14) << cell("EXAMINEE", 24)
                << cell("BASE", 24) << "RESULT\n";
    int count = 0;
    QString error;
    const bool read = reader->forEachRun(
        filter,
        [&](const StoredRun& run) {
            ++count;
            context.out << cell(run.start.runId, 8) << cell(shownTime(run.start.startedAt), 19)
                        << cell(kindWord(run.start.kind), 14) << cell(run.start.examinee, 24)
                        << cell(run.start.baseFile, 24) << resultSummary(run) << '\n';
            return true;
        },
        error);
    if (!read)
        return journalError(context,
                            QStringLiteral("cannot read %1 (%2)").arg(reader->path(), error));
    context.out << count << " run(s)\n";
    return ExitClean;
}

int journalShow(CommandContext& context, const JournalArguments& arguments) {
    const std::unique_ptr<JournalReader> reader = openJournalForReading(context, arguments);
    if (!reader)
        return ExitProblems;
    const std::optional<StoredRun> found = readRun(context, *reader, arguments.words.first());
    if (!found)
        return ExitProblems;
    const StoredRun& run = *found;
    const RunStartRecord& start = run.start;
    QTextStream& out = context.out;
    const auto line = [&](const char* label, const QString& value) {
        out << QString::fromLatin1(label).leftJustified(15) << value << '\n';
    };
    line("run", start.runId);
    line("kind", kindWord(start.kind));
    if (!start.parentRunId.isEmpty())
        line("works on", start.parentRunId);
    line("examinee", start.examinee);
    line("base", QStringLiteral("%1 \"%2\"").arg(start.baseFile, start.baseName));
    line("base sha256", start.baseSha256);
    line("station", QStringLiteral("%1, user %2").arg(run.station, run.osUser));
    line("tickets", answerListText(start.tickets));
    line("questions", QStringLiteral("%1 per ticket").arg(start.questionsPerTicket));
    line("time limit", start.timeLimitSeconds ? QStringLiteral("%1 s").arg(*start.timeLimitSeconds)
                                              : QStringLiteral("none"));
    line("started", shownTime(start.startedAt));
    line("last seen", shownTime(run.lastSeenAt));
    line("exam time used", QStringLiteral("%1 s").arg(run.examTimeUsed));
    if (run.end) {
        const RunEndRecord& end = *run.end;
        line("ended",
             QStringLiteral("%1, %2").arg(shownTime(end.endedAt), endingWord(end.endedBy)));
        line("result", QStringLiteral("%1 of %2 right, %3 wrong, %4 unanswered, %5 %")
                           .arg(end.rightCount)
                           .arg(end.total)
                           .arg(end.wrongCount)
                           .arg(end.unanswered)
                           .arg(end.percent));
        line("grade", end.grade ? QString::number(*end.grade) : QStringLiteral("none"));
        line("result line", end.resultText);
    } else {
        line("ended", QStringLiteral("not ended"));
    }
    for (const StoredInterruption& gap : run.interruptions) {
        line("interrupted", QStringLiteral("%1 for %2 s, %3")
                                .arg(shownTime(gap.interruptedAt))
                                .arg(gap.seconds)
                                .arg(gap.resumedAt.isValid()
                                         ? QStringLiteral("resumed ") + shownTime(gap.resumedAt)
                                         : QStringLiteral("not resumed")));
    }

    out << "\n"
        << cell("SEQ", 4) << cell("TICKET", 6) << cell("QUESTION", 8) << cell("CHOSEN", 10)
        << cell("RIGHT", 10) << cell("", 5) << cell("ANSWERED", 19) << "SECONDS\n";
    QSet<std::pair<int, int>> answered;
    for (const StoredAnswer& a : run.answers) {
        answered.insert({a.ticket, a.question});
        out << cell(QString::number(a.seq), 4) << cell(QString::number(a.ticket), 6)
            << cell(QString::number(a.question), 8) << cell(answerListText(a.chosen), 10)
            << cell(answerListText(a.right), 10)
            << cell(a.correct ? QStringLiteral("right") : QStringLiteral("wrong"), 5)
            << cell(shownTime(a.answeredAt), 19)
            << QString::number(double(a.msOnQuestion) / 1000, 'f', 1) << '\n';
    }
    QStringList unanswered;
    for (const StoredPresentation& p : run.presented)
        if (!answered.contains({p.ticket, p.question}))
            unanswered << QStringLiteral("%1/%2").arg(p.ticket).arg(p.question);
    out << run.answers.size() << " answer(s)";
    if (!unanswered.isEmpty())
        out << "; shown but not answered (ticket/question): " << unanswered.join(u' ');
    out << '\n';
    return ExitClean;
}

} // namespace korvel
