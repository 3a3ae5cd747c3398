#include "journal/item_analysis.h"
#include "journal/journal.h"
#include "journal/journal_reader.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <QTest>

using namespace korvel;

namespace {

const QDateTime T0 = QDateTime(QDate(2026, 3, 1), QTime(9, 0), Qt::UTC);
const QString BaseS(64, u's');
const QString BaseT(64, u't');

struct Answer {
    int ticket;
    int question;
    QList<int> chosen;
    QList<int> right;
};

// One run of the base with the given answers, in order; ended as given
// (nullopt: still running) with right_count from its last answers.
void sit(Journal& journal, const QString& id, const QString& sha, RecordedRunKind kind,
         int questionsPerTicket, const QList<Answer>& answers, std::optional<RunEnding> ending,
         const QList<std::pair<int, int>>& presentedOnly = {}) {
    static int minute = 0;
    RunStartRecord start;
    start.runId = id;
    start.kind = kind;
    start.baseFile = QStringLiteral("b.zip");
    start.baseName = QStringLiteral("B");
    start.baseSha256 = sha;
    start.tickets = {answers.first().ticket};
    start.questionsPerTicket = questionsPerTicket;
    start.startedAt = T0.addSecs(60 * ++minute);
    journal.runStarted(start);
    QMap<std::pair<int, int>, bool> last;
    int seq = 0;
    for (const Answer& a : answers) {
        journal.questionPresented({id, a.ticket, a.question, a.right, start.startedAt});
        AnswerRecord record;
        record.runId = id;
        record.seq = ++seq;
        record.ticket = a.ticket;
        record.question = a.question;
        record.chosen = a.chosen;
        record.right = a.right;
        record.correct = a.chosen == a.right;
        record.answeredAt = start.startedAt.addSecs(seq);
        journal.answerJudged(record);
        last[{a.ticket, a.question}] = record.correct;
    }
    for (const auto& [t, q] : presentedOnly)
        journal.questionPresented({id, t, q, {1}, start.startedAt});
    if (!ending)
        return;
    RunEndRecord end;
    end.runId = id;
    end.endedAt = start.startedAt.addSecs(50);
    end.endedBy = *ending;
    end.rightCount = int(std::count(last.begin(), last.end(), true));
    end.grade = 2;
    journal.runEnded(end);
}

QJsonObject question(const QJsonObject& stats, int index) {
    return stats["questions"].toArray().at(index).toObject();
}

} // namespace

class ItemAnalysisTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<JournalReader> reader_;

    // The packed SQLite way and the row-by-row way of a server agree.
    QJsonObject stats(const QString& sha, RecordedRunKind kind, const RunFilter& filter = {}) {
        QString error;
        const std::optional<ItemAnalysis> packed =
            analyseItems(reader_->database(), sha, kind, error, filter);
        const std::optional<ItemAnalysis> rows =
            analyseItemsRowByRow(reader_->database(), sha, kind, error, filter);
        if (!packed || !rows) {
            qWarning("%s", qPrintable(error));
            return {};
        }
        const QJsonObject json = itemAnalysisJson(*packed);
        if (json != itemAnalysisJson(*rows)) {
            qWarning("the two ways disagree");
            return {};
        }
        return json;
    }

private slots:
    void initTestCase() {
        const QString path = dir_.filePath("journal.sqlite");
        {
            auto journal = Journal::open(path, "station", "user");
            const auto exam = RecordedRunKind::Exam;
            const auto last = RunEnding::LastAnswer;
            // Base S, ticket 1 of two questions; q1's right answer is 1, q2's is 2.
            sit(*journal, "R1", BaseS, exam, 2, {{1, 1, {1}, {1}}, {1, 2, {2}, {2}}}, last);
            sit(*journal, "R2", BaseS, exam, 2, {{1, 1, {1}, {1}}, {1, 2, {1, 3}, {2}}}, last);
            sit(*journal, "R3", BaseS, exam, 2, {{1, 1, {2}, {1}}, {1, 2, {3}, {2}}}, last);
            sit(*journal, "R4", BaseS, exam, 2, {{1, 1, {1}, {1}}}, RunEnding::TimeLimit, {{1, 2}});
            // None of these count for the exams of S.
            sit(*journal, "left", BaseS, exam, 2, {{1, 1, {3}, {1}}}, RunEnding::MainMenu);
            sit(*journal, "crashed", BaseS, exam, 2, {{1, 1, {3}, {1}}}, RunEnding::Interrupted);
            sit(*journal, "running", BaseS, exam, 2, {{1, 1, {3}, {1}}}, std::nullopt);
            sit(*journal, "errors", BaseS, RecordedRunKind::WorkOnErrors, 2,
                {{1, 1, {3}, {1}}, {1, 2, {3}, {2}}}, last);
            sit(*journal, "P1", BaseS, RecordedRunKind::Preparation, 2,
                {{1, 1, {2}, {1}}, {1, 1, {1}, {1}}}, last);
            // Base T, ticket 4 of four questions: q1 always wrong, q2 always
            // right, q3 and q4 against the rest of the run.
            sit(*journal, "S1", BaseT, exam, 4,
                {{4, 1, {2}, {1}}, {4, 2, {1}, {1}}, {4, 3, {1}, {1}}, {4, 4, {2}, {1}}}, last);
            sit(*journal, "S2", BaseT, exam, 4,
                {{4, 1, {2}, {1}}, {4, 2, {1}, {1}}, {4, 3, {2}, {1}}, {4, 4, {1}, {1}}}, last);
            sit(*journal, "S3", BaseT, exam, 4,
                {{4, 1, {2}, {1}}, {4, 2, {1}, {1}}, {4, 3, {2}, {1}}, {4, 4, {1}, {1}}}, last);
            QVERIFY(journal->recording());
        }
        QString error;
        reader_ = JournalReader::open(path, error);
        QVERIFY2(reader_, qPrintable(error));
    }

    // Exams of S: R1..R4 (right_count 2, 1, 0, 1).
    //   q1: scores R1..R4 = 1 1 0 1, rests (right_count - score) = 1 0 0 0.
    //       presented 4, answered 4, right 3, facility 0.75, choices [3 1 0 0 0].
    //       n=4 Σx=3 Σy=1 Σxy=1 Σx²=3 Σy²=1: r = (4·1-3·1)/√((4·3-9)(4·1-1)) = 1/3.
    //   q2: presented 4 (R4 saw it), answered by R1..R3 = 1 0 0, rests = 1 1 0.
    //       right 1, facility 1/3, choices [1 1 2 0 0] (R2 chose 1 and 3).
    //       n=3 Σx=1 Σy=2 Σxy=1 Σx²=1 Σy²=2: r = (3-2)/√((3-1)(6-4)) = 1/2.
    //   ticket 1 over the runs that answered both (R1..R3): totals 2 1 0,
    //       s²(q1) = (2-4/3)/2 = 1/3, s²(q2) = (1-1/3)/2 = 1/3, s²(X) = (5-9/3)/2 = 1,
    //       alpha = 2/1 · (1 - 2/3) = 2/3.
    void examsOfABase() {
        const QJsonObject s = stats(BaseS, RecordedRunKind::Exam);
        QCOMPARE(s["base_sha256"].toString(), BaseS);
        QCOMPARE(s["runs"].toInt(), 4);
        QCOMPARE(s["questions"].toArray().size(), 2);
        const QJsonObject q1 = question(s, 0);
        QCOMPARE(q1["ticket"].toInt(), 1);
        QCOMPARE(q1["question"].toInt(), 1);
        QCOMPARE(q1["presented"].toInt(), 4);
        QCOMPARE(q1["answered"].toInt(), 4);
        QCOMPARE(q1["right"].toInt(), 3);
        QCOMPARE(q1["facility"].toDouble(), 0.75);
        QVERIFY(qFuzzyCompare(q1["discrimination"].toDouble(), 1.0 / 3));
        QCOMPARE(q1["choices"].toArray(), (QJsonArray{3, 1, 0, 0, 0}));
        QCOMPARE(q1["flags"].toArray(), QJsonArray());
        const QJsonObject q2 = question(s, 1);
        QCOMPARE(q2["presented"].toInt(), 4);
        QCOMPARE(q2["answered"].toInt(), 3);
        QCOMPARE(q2["right"].toInt(), 1);
        QVERIFY(qFuzzyCompare(q2["facility"].toDouble(), 1.0 / 3));
        QVERIFY(qFuzzyCompare(q2["discrimination"].toDouble(), 0.5));
        QCOMPARE(q2["choices"].toArray(), (QJsonArray{1, 1, 2, 0, 0}));
        const QJsonArray tickets = s["tickets"].toArray();
        QCOMPARE(tickets.size(), 1);
        QCOMPARE(tickets.at(0)["ticket"].toInt(), 1);
        QCOMPARE(tickets.at(0)["runs"].toInt(), 3);
        QVERIFY(qFuzzyCompare(tickets.at(0)["alpha"].toDouble(), 2.0 / 3));
    }

    // Exams of T (S1..S3, right_count 2 each): q1 scores 0 0 0 and q2 1 1 1
    // have no variance (discrimination null) and are too hard / too easy;
    // q3 scores 1 0 0 with rests 1 2 2, q4 scores 0 1 1 with rests 2 1 1:
    // r = -1 for both. The totals are all 2: no variance, alpha null.
    void flagsAndFiguresThatCannotBeComputed() {
        const QJsonObject s = stats(BaseT, RecordedRunKind::Exam);
        QCOMPARE(s["runs"].toInt(), 3);
        QCOMPARE(s["questions"].toArray().size(), 4);
        QCOMPARE(question(s, 0)["facility"].toDouble(), 0.0);
        QVERIFY(question(s, 0)["discrimination"].isNull());
        QCOMPARE(question(s, 0)["flags"].toArray(), QJsonArray{"too_hard"});
        QCOMPARE(question(s, 1)["facility"].toDouble(), 1.0);
        QVERIFY(question(s, 1)["discrimination"].isNull());
        QCOMPARE(question(s, 1)["flags"].toArray(), QJsonArray{"too_easy"});
        for (int k : {2, 3}) {
            QVERIFY(qFuzzyCompare(question(s, k)["discrimination"].toDouble(), -1.0));
            QCOMPARE(question(s, k)["flags"].toArray(), QJsonArray{"negative_discrimination"});
        }
        QCOMPARE(s["tickets"].toArray().at(0)["runs"].toInt(), 3);
        QVERIFY(s["tickets"].toArray().at(0)["alpha"].isNull());
    }

    // One preparation of S answered q1 wrong, then right: its last answer
    // counts; one run gives no correlation and no alpha.
    void preparationsAndTheLastAnswer() {
        const QJsonObject s = stats(BaseS, RecordedRunKind::Preparation);
        QCOMPARE(s["runs"].toInt(), 1);
        QCOMPARE(s["questions"].toArray().size(), 1);
        QCOMPARE(question(s, 0)["answered"].toInt(), 1);
        QCOMPARE(question(s, 0)["right"].toInt(), 1);
        QCOMPARE(question(s, 0)["choices"].toArray(), (QJsonArray{1, 0, 0, 0, 0}));
        QVERIFY(question(s, 0)["discrimination"].isNull());
        QCOMPARE(question(s, 0)["flags"].toArray(), QJsonArray{"too_easy"});
        QCOMPARE(s["tickets"].toArray().at(0)["runs"].toInt(), 0);
        QVERIFY(s["tickets"].toArray().at(0)["alpha"].isNull());
    }

    void narrowedByAFilter() {
        RunFilter filter;
        filter.until = T0.addSecs(60 * 2 + 30); // R1 and R2 only
        const QJsonObject s = stats(BaseS, RecordedRunKind::Exam, filter);
        QCOMPARE(s["runs"].toInt(), 2);
        QCOMPARE(question(s, 0)["right"].toInt(), 2);
        filter = {};
        filter.kind = RecordedRunKind::Preparation; // the argument's kind stands
        QCOMPARE(stats(BaseS, RecordedRunKind::Exam, filter)["runs"].toInt(), 4);
    }

    void aBaseNobodySat() {
        const QJsonObject s = stats(QString(64, u'0'), RecordedRunKind::Exam);
        QCOMPARE(s["runs"].toInt(), 0);
        QVERIFY(s["questions"].toArray().isEmpty());
        QVERIFY(s["tickets"].toArray().isEmpty());
    }
};

QTEST_GUILESS_MAIN(ItemAnalysisTest)
#include "tst_item_analysis.moc"
