#include "journal/stored_run_reading.h"

#include "journal/journal_values.h"

#include <QSqlDatabase>
#include <QSqlQuery>

namespace korvel {

const char* const StoredRunColumns =
    "run_id, station, os_user, examinee, kind, base_file, base_name, base_sha256, tickets, "
    "questions_per_ticket, time_limit_s, started_at, parent_run_id, exam_time_used_s, "
    "last_seen_at, ended_at, ended_by, total, right_count, wrong_count, unanswered, percent, "
    "grade, result_text";

namespace {

std::optional<int> optionalInt(const QVariant& value) {
    if (value.isNull())
        return std::nullopt;
    return value.toInt();
}

bool readAnswers(QSqlQuery& query, const QString& runId, StoredRun& run) {
    query.prepare(QStringLiteral(
        "SELECT seq, ticket, question, chosen, \"right\", correct, shown_at, answered_at, "
        "ms_on_question, elapsed_s FROM answers WHERE run_id = ? ORDER BY seq"));
    query.addBindValue(runId);
    if (!query.exec())
        return false;
    while (query.next()) {
        StoredAnswer answer;
        answer.seq = query.value(0).toInt();
        answer.ticket = query.value(1).toInt();
        answer.question = query.value(2).toInt();
        answer.chosen = parseAnswerList(query.value(3).toString());
        answer.right = parseAnswerList(query.value(4).toString());
        answer.correct = query.value(5).toInt() != 0;
        answer.shownAt = parseJournalTime(query.value(6));
        answer.answeredAt = parseJournalTime(query.value(7));
        answer.msOnQuestion = query.value(8).toLongLong();
        answer.elapsedSeconds = query.value(9).toInt();
        run.answers.append(answer);
    }
    return true;
}

bool readPresented(QSqlQuery& query, const QString& runId, StoredRun& run) {
    query.prepare(
        QStringLiteral("SELECT ticket, question, \"right\", first_shown_at FROM presented "
                       "WHERE run_id = ? ORDER BY first_shown_at, ticket, question"));
    query.addBindValue(runId);
    if (!query.exec())
        return false;
    while (query.next()) {
        run.presented.append({query.value(0).toInt(), query.value(1).toInt(),
                              parseAnswerList(query.value(2).toString()),
                              parseJournalTime(query.value(3))});
    }
    return true;
}

bool readInterruptions(QSqlQuery& query, const QString& runId, StoredRun& run) {
    query.prepare(QStringLiteral("SELECT interrupted_at, resumed_at, seconds FROM interruptions "
                                 "WHERE run_id = ? ORDER BY interrupted_at"));
    query.addBindValue(runId);
    if (!query.exec())
        return false;
    while (query.next()) {
        run.interruptions.append({parseJournalTime(query.value(0)),
                                  parseJournalTime(query.value(1)), query.value(2).toLongLong()});
    }
    return true;
}

} // namespace

StoredRun runFromRow(const QSqlQuery& query) {
    StoredRun run;
    RunStartRecord& start = run.start;
    start.runId = query.value(0).toString();
    run.station = query.value(1).toString();
    run.osUser = query.value(2).toString();
    start.examinee = query.value(3).toString();
    start.kind = kindFromWord(query.value(4).toString()).value_or(RecordedRunKind::Preparation);
    start.baseFile = query.value(5).toString();
    start.baseName = query.value(6).toString();
    start.baseSha256 = query.value(7).toString();
    start.tickets = parseAnswerList(query.value(8).toString());
    start.questionsPerTicket = query.value(9).toInt();
    start.timeLimitSeconds = optionalInt(query.value(10));
    start.startedAt = parseJournalTime(query.value(11));
    start.parentRunId = query.value(12).toString();
    run.examTimeUsed = query.value(13).toInt();
    run.lastSeenAt = parseJournalTime(query.value(14));
    if (!query.value(15).isNull()) {
        RunEndRecord end;
        end.runId = start.runId;
        end.endedAt = parseJournalTime(query.value(15));
        end.endedBy = endingFromWord(query.value(16).toString()).value_or(RunEnding::Interrupted);
        end.total = query.value(17).toInt();
        end.rightCount = query.value(18).toInt();
        end.wrongCount = query.value(19).toInt();
        end.unanswered = query.value(20).toInt();
        end.percent = query.value(21).toInt();
        end.grade = optionalInt(query.value(22));
        end.resultText = query.value(23).toString();
        run.end = end;
    }
    return run;
}

std::optional<StoredRun> readStoredRun(const QSqlDatabase& db, const QString& runId,
                                       QSqlError& error) {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT %1 FROM runs WHERE run_id = ?")
                      .arg(QLatin1String(StoredRunColumns)));
    query.addBindValue(runId);
    if (!query.exec()) {
        error = query.lastError();
        return std::nullopt;
    }
    if (!query.next())
        return std::nullopt;
    StoredRun run = runFromRow(query);
    query.finish();
    if (!readAnswers(query, runId, run) || !readPresented(query, runId, run) ||
        !readInterruptions(query, runId, run)) {
        error = query.lastError();
        return std::nullopt;
    }
    return run;
}

} // namespace korvel
