#include "journal/item_analysis.h"

#include "journal/journal_failure.h"
#include "journal/journal_values.h"

#include <QJsonArray>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <cmath>
#include <map>

namespace korvel {

namespace {

using ItemKey = std::pair<int, int>; // ticket, question

const QString FinishedRunsOfBase =
    QStringLiteral("r.base_sha256 = ? AND r.kind = ? AND r.ended_by IN ('last_answer', "
                   "'time_limit')");

// Sums over the runs that answered a question: x its score, y the rest.
struct QuestionSums {
    int presented = 0;
    qint64 n = 0, x = 0, y = 0, xy = 0, yy = 0;
    std::array<int, 5> choices{};
};

struct TicketSums {
    int k = 0; // questions in the ticket
    qint64 n = 0, total = 0, totalSquares = 0;
    std::map<int, qint64> rightByQuestion;
};

struct FinalAnswer {
    int chosenMask = 0; // bit k-1 for answer k
    bool correct = false;
};

int chosenMask(const QString& chosen) {
    int mask = 0;
    for (int k : parseAnswerList(chosen))
        if (k >= 1 && k <= 5)
            mask |= 1 << (k - 1);
    return mask;
}

std::optional<double> pearson(const QuestionSums& s) {
    if (s.n < 2)
        return std::nullopt;
    // n²·cov, n²·var x, n²·var y: integers, exact for any journal size here.
    const double n = double(s.n);
    const double cov = n * double(s.xy) - double(s.x) * double(s.y);
    const double varX = n * double(s.x) - double(s.x) * double(s.x);
    const double varY = n * double(s.yy) - double(s.y) * double(s.y);
    if (varX <= 0 || varY <= 0)
        return std::nullopt;
    return cov / std::sqrt(varX * varY);
}

std::optional<double> cronbachAlpha(const TicketSums& s) {
    if (s.n < 2 || s.k < 2)
        return std::nullopt;
    const double n = double(s.n);
    const auto sampleVariance = [n](double sum, double squares) {
        return (squares - sum * sum / n) / (n - 1);
    };
    double items = 0;
    for (const auto& [question, right] : s.rightByQuestion)
        items += sampleVariance(double(right), double(right)); // x² = x for 0/1 scores
    const double total = sampleVariance(double(s.total), double(s.totalSquares));
    if (total <= 0)
        return std::nullopt;
    return double(s.k) / double(s.k - 1) * (1 - items / total);
}

class Accumulator {
public:
    void answer(int ticket, int question, const QString& chosen, bool correct) {
        runAnswers_[{ticket, question}] = {chosenMask(chosen), correct};
    }

    // Folds the answers of the run just read into the sums.
    void endRun(int rightCount, int questionsPerTicket) {
        std::map<int, std::pair<int, qint64>> byTicket; // answered questions, score
        for (const auto& [key, final] : runAnswers_) {
            QuestionSums& s = questions_[key];
            const int x = final.correct ? 1 : 0;
            const qint64 y = rightCount - x;
            ++s.n;
            s.x += x;
            s.y += y;
            s.xy += x * y;
            s.yy += y * y;
            for (int k = 0; k < 5; ++k)
                if (final.chosenMask & (1 << k))
                    ++s.choices[size_t(k)];
            if (key.second >= 1 && key.second <= questionsPerTicket) {
                ++byTicket[key.first].first;
                byTicket[key.first].second += x;
            }
        }
        for (const auto& [ticket, answered] : byTicket) {
            TicketSums& t = tickets_[ticket];
            t.k = questionsPerTicket;
            if (answered.first != questionsPerTicket)
                continue;
            ++t.n;
            t.total += answered.second;
            t.totalSquares += answered.second * answered.second;
            for (int q = 1; q <= questionsPerTicket; ++q)
                t.rightByQuestion[q] += runAnswers_[{ticket, q}].correct ? 1 : 0;
        }
        runAnswers_.clear();
    }

    void presented(int ticket, int question, int runs) {
        questions_[{ticket, question}].presented = runs;
        tickets_[ticket];
    }

    ItemAnalysis result(const QString& sha, int runs) const {
        ItemAnalysis analysis;
        analysis.baseSha256 = sha;
        analysis.runs = runs;
        for (const auto& [key, s] : questions_) {
            QuestionStatistics q;
            q.ticket = key.first;
            q.question = key.second;
            q.presented = s.presented;
            q.answered = int(s.n);
            q.right = int(s.x);
            q.choices = s.choices;
            if (s.n > 0)
                q.facility = double(s.x) / double(s.n);
            q.discrimination = pearson(s);
            if (q.discrimination && *q.discrimination < 0)
                q.flags << QStringLiteral("negative_discrimination");
            if (q.facility && *q.facility < 0.2)
                q.flags << QStringLiteral("too_hard");
            if (q.facility && *q.facility > 0.95)
                q.flags << QStringLiteral("too_easy");
            analysis.questions.append(q);
        }
        for (const auto& [ticket, s] : tickets_)
            analysis.tickets.append({ticket, int(s.n), cronbachAlpha(s)});
        return analysis;
    }

private:
    std::map<ItemKey, FinalAnswer> runAnswers_;
    std::map<ItemKey, QuestionSums> questions_;
    std::map<int, TicketSums> tickets_;
};

QJsonValue figure(const std::optional<double>& value) {
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

} // namespace

std::optional<ItemAnalysis> analyseItems(const QSqlDatabase& db, const QString& baseSha256,
                                         RecordedRunKind kind, QString& error,
                                         const RunFilter& filter) {
    if (kind == RecordedRunKind::WorkOnErrors) {
        error = QStringLiteral("work on errors is not analysed");
        return std::nullopt;
    }
    RunFilter narrower = filter;
    narrower.kind.reset();
    narrower.baseSha256.clear();
    QString narrowerCondition;
    QVariantList narrowerValues;
    if (!runFilterCondition(db, narrower, narrowerCondition, narrowerValues, error))
        return std::nullopt;
    const QString finishedRuns =
        QStringLiteral("%1 AND (%2)").arg(FinishedRunsOfBase, narrowerCondition);
    const QString kindText = kindWord(kind);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    const auto run = [&](const QString& statement) {
        query.prepare(statement);
        query.addBindValue(baseSha256);
        query.addBindValue(kindText);
        for (const QVariant& value : narrowerValues)
            query.addBindValue(value);
        if (query.exec())
            return true;
        error = failureDetail(query.lastError());
        return false;
    };

    if (!run(QStringLiteral("SELECT count(*) FROM runs r WHERE %1").arg(finishedRuns)) ||
        !query.next())
        return std::nullopt;
    const int runs = query.value(0).toInt();

    Accumulator sums;
    if (!run(QStringLiteral("SELECT p.ticket, p.question, count(*) FROM runs r JOIN presented p "
                            "ON p.run_id = r.run_id WHERE %1 GROUP BY p.ticket, p.question")
                 .arg(finishedRuns)))
        return std::nullopt;
    while (query.next())
        sums.presented(query.value(0).toInt(), query.value(1).toInt(), query.value(2).toInt());

    // By run (in the order of the base index, so SQLite need not sort) and
    // seq, so each run's answers arrive together and its last answer last.
    if (!run(QStringLiteral("SELECT r.rowid, r.right_count, r.questions_per_ticket, a.ticket, "
                            "a.question, a.chosen, a.correct FROM runs r JOIN answers a "
                            "ON a.run_id = r.run_id WHERE %1 ORDER BY r.rowid, a.seq")
                 .arg(finishedRuns)))
        return std::nullopt;
    qint64 current = -1;
    int rightCount = 0;
    int questionsPerTicket = 0;
    while (query.next()) {
        const qint64 rowid = query.value(0).toLongLong();
        if (rowid != current) {
            if (current >= 0)
                sums.endRun(rightCount, questionsPerTicket);
            current = rowid;
            rightCount = query.value(1).toInt();
            questionsPerTicket = query.value(2).toInt();
        }
        sums.answer(query.value(3).toInt(), query.value(4).toInt(), query.value(5).toString(),
                    query.value(6).toInt() != 0);
    }
    if (query.lastError().isValid()) {
        error = failureDetail(query.lastError());
        return std::nullopt;
    }
    if (current >= 0)
        sums.endRun(rightCount, questionsPerTicket);
    return sums.result(baseSha256, runs);
}

QJsonObject itemAnalysisJson(const ItemAnalysis& analysis) {
    QJsonArray questions;
    for (const QuestionStatistics& q : analysis.questions) {
        QJsonArray choices;
        for (int c : q.choices)
            choices.append(c);
        questions.append(QJsonObject{
            {"ticket", q.ticket},
            {"question", q.question},
            {"presented", q.presented},
            {"answered", q.answered},
            {"right", q.right},
            {"facility", figure(q.facility)},
            {"discrimination", figure(q.discrimination)},
            {"choices", choices},
            {"flags", QJsonArray::fromStringList(q.flags)},
        });
    }
    QJsonArray tickets;
    for (const TicketStatistics& t : analysis.tickets)
        tickets.append(
            QJsonObject{{"ticket", t.ticket}, {"runs", t.runs}, {"alpha", figure(t.alpha)}});
    return QJsonObject{{"base_sha256", analysis.baseSha256},
                       {"runs", analysis.runs},
                       {"questions", questions},
                       {"tickets", tickets}};
}

} // namespace korvel
