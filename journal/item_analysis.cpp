#include "journal/item_analysis.h"

#include "journal/journal_failure.h"
#include "journal/journal_reader.h"
#include "journal/journal_values.h"

#include <QHash>
#include <QJsonArray>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

namespace korvel {

namespace {

// Sums over the runs that answered a question: x its score, y the rest.
struct QuestionSums {
    int presented = 0;
    qint64 n = 0, x = 0, y = 0, xy = 0, yy = 0;
    std::array<int, 5> choices{};
};

struct TicketSums {
    int k = 0; // questions in the ticket
    qint64 n = 0, total = 0, totalSquares = 0;
    std::vector<qint64> rightByQuestion; // complete runs that answered question q right, at q
};

// Bit k-1 set when answer k was chosen, from the "1;3" text; a single answer,
// by far the most common, without searching.
QString chosenMaskSql() {
    QStringList bits;
    for (int k = 1; k <= 5; ++k)
        bits << QStringLiteral("%1 * (instr(';' || a.chosen || ';', ';%2;') > 0)")
                    .arg(1 << (k - 1))
                    .arg(k);
    return QStringLiteral("CASE WHEN length(a.chosen) = 1 AND a.chosen BETWEEN '1' AND '5' "
                          "THEN 1 << (unicode(a.chosen) - 49) ELSE %1 END")
        .arg(bits.join(QStringLiteral(" + ")));
}

// Ticket and question numbers take 11 bits each in the packing; the program
// keeps them to 1..1000.
QString inPackingRange(const char* table) {
    return QStringLiteral("%1.ticket BETWEEN 1 AND 2047 AND %1.question BETWEEN 1 AND 2047")
        .arg(QLatin1String(table));
}

template <typename Visit>
void forEachNumber(QByteArrayView list, Visit visit) {
    qint64 number = 0;
    bool inNumber = false;
    for (char c : list) {
        if (c >= '0' && c <= '9') {
            number = number * 10 + (c - '0');
            inNumber = true;
        } else if (inNumber) {
            visit(number);
            number = 0;
            inNumber = false;
        }
    }
    if (inNumber)
        visit(number);
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
    for (size_t q = 1; q < s.rightByQuestion.size(); ++q) // x² = x for 0/1 scores
        items += sampleVariance(double(s.rightByQuestion[q]), double(s.rightByQuestion[q]));
    const double total = sampleVariance(double(s.total), double(s.totalSquares));
    if (total <= 0)
        return std::nullopt;
    return double(s.k) / double(s.k - 1) * (1 - items / total);
}

class Accumulator {
public:
    void answer(int ticket, int question, int seq, int chosenMask, bool correct) {
        run_.push_back({ticket * 2048 + question, seq, chosenMask, correct});
    }

    // Folds the last answers of the run just read into the sums.
    void endRun(int rightCount, int questionsPerTicket) {
        std::sort(run_.begin(), run_.end(), [](const RunAnswer& a, const RunAnswer& b) {
            return a.key != b.key ? a.key < b.key : a.seq < b.seq;
        });
        // Sorted by ticket, question and seq: the last of each question
        // stands, and each ticket's questions are together.
        int ticket = -1;
        int answered = 0;
        qint64 score = 0;
        const auto endTicket = [&](qsizetype end) {
            if (ticket < 0)
                return;
            TicketSums& t = tickets_[ticket];
            t.k = questionsPerTicket;
            if (answered != questionsPerTicket)
                return;
            ++t.n;
            t.total += score;
            t.totalSquares += score * score;
            t.rightByQuestion.resize(size_t(questionsPerTicket) + 1);
            for (qsizetype k = end - 1; k >= 0 && run_[size_t(k)].key / 2048 == ticket; --k)
                if (isLast(k) && inTicket(run_[size_t(k)].key % 2048, questionsPerTicket))
                    t.rightByQuestion[size_t(run_[size_t(k)].key % 2048)] +=
                        run_[size_t(k)].correct ? 1 : 0;
        };
        for (qsizetype k = 0; k < qsizetype(run_.size()); ++k) {
            const RunAnswer& a = run_[size_t(k)];
            if (a.key / 2048 != ticket) {
                endTicket(k);
                ticket = a.key / 2048;
                answered = 0;
                score = 0;
            }
            if (!isLast(k))
                continue;
            QuestionSums& s = questions_[a.key];
            const int x = a.correct ? 1 : 0;
            const qint64 y = rightCount - x;
            ++s.n;
            s.x += x;
            s.y += y;
            s.xy += x * y;
            s.yy += y * y;
            for (int c = 0; c < 5; ++c)
                if (a.chosenMask & (1 << c))
                    ++s.choices[size_t(c)];
            if (inTicket(a.key % 2048, questionsPerTicket)) {
                ++answered;
                score += x;
            }
        }
        endTicket(qsizetype(run_.size()));
        run_.clear();
    }

    void presented(int ticket, int question) {
        ++questions_[ticket * 2048 + question].presented;
        tickets_[ticket];
    }

    ItemAnalysis result(const QString& sha, int runs) const {
        ItemAnalysis analysis;
        analysis.baseSha256 = sha;
        analysis.runs = runs;
        QList<int> keys = questions_.keys();
        std::sort(keys.begin(), keys.end());
        for (int key : keys) {
            const QuestionSums& s = questions_[key];
            QuestionStatistics q;
            q.ticket = key / 2048;
            q.question = key % 2048;
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
    struct RunAnswer {
        int key; // ticket * 2048 + question
        int seq;
        int chosenMask; // bit k-1 for answer k
        bool correct;
    };

    bool isLast(qsizetype k) const {
        return k + 1 == qsizetype(run_.size()) || run_[size_t(k + 1)].key != run_[size_t(k)].key;
    }
    static bool inTicket(int question, int questionsPerTicket) {
        return question >= 1 && question <= questionsPerTicket;
    }

    std::vector<RunAnswer> run_;
    QHash<int, QuestionSums> questions_;
    std::map<int, TicketSums> tickets_;
};

QJsonValue figure(const std::optional<double>& value) {
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

// The runs analysed, as a condition on runs (aliased r) and its values.
bool analysedRuns(const QSqlDatabase& db, const QString& baseSha256, RecordedRunKind kind,
                  const RunFilter& filter, QString& condition, QVariantList& values,
                  QString& error) {
    if (kind == RecordedRunKind::WorkOnErrors) {
        error = QStringLiteral("work on errors is not analysed");
        return false;
    }
    RunFilter narrower = filter;
    narrower.kind = kind;
    narrower.baseSha256 = baseSha256;
    QString clause;
    if (!runFilterCondition(db, narrower, clause, values, error))
        return false;
    condition = QStringLiteral("r.ended_by IN ('last_answer', 'time_limit') AND %1").arg(clause);
    return true;
}

bool run(QSqlQuery& query, const QString& statement, const QVariantList& values, QString& error) {
    query.setForwardOnly(true);
    query.prepare(statement);
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (query.exec())
        return true;
    error = failureDetail(query.lastError());
    return false;
}

std::optional<ItemAnalysis> finished(const QSqlQuery& query, const Accumulator& sums,
                                     const QString& sha, int runs, QString& error) {
    if (query.lastError().isValid()) {
        error = failureDetail(query.lastError());
        return std::nullopt;
    }
    return sums.result(sha, runs);
}

} // namespace

std::optional<ItemAnalysis> analyseItems(const QSqlDatabase& db, const QString& baseSha256,
                                         RecordedRunKind kind, QString& error,
                                         const RunFilter& filter) {
    if (db.driverName() != QLatin1String("QSQLITE"))
        return analyseItemsRowByRow(db, baseSha256, kind, error, filter);
    QString condition;
    QVariantList values;
    if (!analysedRuns(db, baseSha256, kind, filter, condition, values, error))
        return std::nullopt;
    // One row a run: its answers and its presentations packed into integers
    // and concatenated by SQLite, so a journal of millions of answers moves
    // through Qt as one value a run instead of seven an answer.
    QSqlQuery query(db);
    if (!run(query,
             QStringLiteral(
                 "SELECT r.right_count, r.questions_per_ticket, "
                 "CAST((SELECT group_concat((((a.seq * 2048 + a.ticket) * 2048 + a.question) "
                 "* 2 + a.correct) * 32 + (%1)) FROM answers a "
                 "WHERE a.run_id = r.run_id AND %2) AS BLOB), "
                 "CAST((SELECT group_concat(p.ticket * 2048 + p.question) FROM presented p "
                 "WHERE p.run_id = r.run_id AND %3) AS BLOB) FROM runs r WHERE %4")
                 .arg(chosenMaskSql(), inPackingRange("a"), inPackingRange("p"), condition),
             values, error))
        return std::nullopt;
    Accumulator sums;
    int runs = 0;
    while (query.next()) {
        ++runs;
        forEachNumber(query.value(2).toByteArray(), [&](qint64 packed) {
            sums.answer(int((packed >> 17) & 2047), int((packed >> 6) & 2047), int(packed >> 28),
                        int(packed & 31), (packed >> 5) & 1);
        });
        forEachNumber(query.value(3).toByteArray(), [&](qint64 packed) {
            sums.presented(int(packed >> 11), int(packed & 2047));
        });
        sums.endRun(query.value(0).toInt(), query.value(1).toInt());
    }
    return finished(query, sums, baseSha256, runs, error);
}

std::optional<ItemAnalysis> analyseItemsRowByRow(const QSqlDatabase& db, const QString& baseSha256,
                                                 RecordedRunKind kind, QString& error,
                                                 const RunFilter& filter) {
    QString condition;
    QVariantList values;
    if (!analysedRuns(db, baseSha256, kind, filter, condition, values, error))
        return std::nullopt;
    Accumulator sums;
    QSqlQuery query(db);
    if (!run(query,
             QStringLiteral("SELECT p.ticket, p.question, count(*) FROM runs r JOIN presented p "
                            "ON p.run_id = r.run_id WHERE %1 GROUP BY p.ticket, p.question")
                 .arg(condition),
             values, error))
        return std::nullopt;
    while (query.next())
        for (int k = query.value(2).toInt(); k > 0; --k)
            sums.presented(query.value(0).toInt(), query.value(1).toInt());
    if (!run(query,
             QStringLiteral("SELECT r.run_id, r.right_count, r.questions_per_ticket, a.seq, "
                            "a.ticket, a.question, a.chosen, a.correct FROM runs r JOIN answers a "
                            "ON a.run_id = r.run_id WHERE %1 ORDER BY r.run_id")
                 .arg(condition),
             values, error))
        return std::nullopt;
    QString current;
    int rightCount = 0;
    int questionsPerTicket = 0;
    while (query.next()) {
        const QString runId = query.value(0).toString();
        if (runId != current) {
            if (!current.isEmpty())
                sums.endRun(rightCount, questionsPerTicket);
            current = runId;
            rightCount = query.value(1).toInt();
            questionsPerTicket = query.value(2).toInt();
        }
        int mask = 0;
        for (int k : parseAnswerList(query.value(6).toString()))
            if (k >= 1 && k <= 5)
                mask |= 1 << (k - 1);
        sums.answer(query.value(4).toInt(), query.value(5).toInt(), query.value(3).toInt(), mask,
                    query.value(7).toInt() != 0);
    }
    if (!current.isEmpty())
        sums.endRun(rightCount, questionsPerTicket);
    if (!run(query, QStringLiteral("SELECT count(*) FROM runs r WHERE %1").arg(condition), values,
             error) ||
        !query.next())
        return std::nullopt;
    const int runs = query.value(0).toInt();
    return finished(query, sums, baseSha256, runs, error);
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
