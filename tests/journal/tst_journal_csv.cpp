#include "journal/journal.h"
#include "journal/journal_csv.h"
#include "journal/journal_reader.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QTest>

using namespace korvel;

namespace {

// RFC 4180 read back: rows of fields.
QList<QStringList> parseCsv(const QByteArray& bytes) {
    QList<QStringList> rows;
    const QString text = QString::fromUtf8(bytes);
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype k = 0; k < text.size(); ++k) {
        const QChar c = text.at(k);
        if (quoted) {
            if (c == u'"' && k + 1 < text.size() && text.at(k + 1) == u'"')
                field += text.at(++k);
            else if (c == u'"')
                quoted = false;
            else
                field += c;
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row << field;
            field.clear();
        } else if (c == u'\r' && k + 1 < text.size() && text.at(k + 1) == u'\n') {
            row << field;
            rows << row;
            row.clear();
            field.clear();
            ++k;
        } else {
            field += c;
        }
    }
    return rows;
}

} // namespace

class JournalCsvTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<JournalReader> reader_;

    // Text a person typed, and what the CSV field must look like.
    struct Case {
        QString examinee;
        QByteArray field;
    };
    const QList<Case> cases_ = {
        {QStringLiteral("Петров"), "Петров"},
        {QStringLiteral("Иванов, Иван"), "\"Иванов, Иван\""},
        {QStringLiteral("цех 3; смена 2"), "\"цех 3; смена 2\""},
        {QStringLiteral("Say \"hi\""), "\"Say \"\"hi\"\"\""},
        {QStringLiteral("two\r\nlines"), "\"two\r\nlines\""},
        {QStringLiteral(" padded"), "\" padded\""},
        {QStringLiteral("tab\t"), "\"tab\t\""},
        {QString(), ""},
        // The bytes that separate values on the quick path take the slow one.
        {QStringLiteral("unit\x1fseparator"), "unit\x1fseparator"},
        {QStringLiteral("record\x1eseparator, too"), "\"record\x1eseparator, too\""},
    };

    // Every other run's answers take the slow path too.
    static QString runId(int k) {
        return (k % 2 ? QStringLiteral("run\x1f%1") : QStringLiteral("run-%1")).arg(k);
    }

    QByteArray csv(CsvRows rows, const RunFilter& filter = {}) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QString error;
        if (!writeCsv(*reader_, filter, rows, buffer, error))
            qWarning("%s", qPrintable(error));
        return bytes;
    }

private slots:
    void initTestCase() {
        const QString path = dir_.filePath("journal.sqlite");
        {
            auto journal = Journal::open(path, "station", "user");
            const QDateTime t0(QDate(2026, 5, 1), QTime(10, 0), Qt::UTC);
            for (int k = 0; k < cases_.size(); ++k) {
                RunStartRecord start;
                // Newest first in the export: the first case starts last.
                start.runId = runId(k);
                start.kind = RecordedRunKind::Exam;
                start.examinee = cases_[k].examinee;
                start.baseFile = "b.zip";
                start.baseName = "B";
                start.baseSha256 = "0";
                start.tickets = {1};
                start.questionsPerTicket = 2;
                start.startedAt = t0.addSecs(-60 * k);
                journal->runStarted(start);
                for (int seq = 1; seq <= 2; ++seq) {
                    AnswerRecord a;
                    a.runId = start.runId;
                    a.seq = seq;
                    a.ticket = 1;
                    a.question = seq;
                    a.chosen = {1, 3};
                    a.right = {1, 3};
                    a.correct = true;
                    a.answeredAt = start.startedAt.addSecs(seq);
                    journal->answerJudged(a);
                }
            }
            QVERIFY(journal->recording());
        }
        QString error;
        reader_ = JournalReader::open(path, error);
        QVERIFY2(reader_, qPrintable(error));
    }

    void fieldsAreQuotedAsNeeded() {
        const QByteArray bytes = csv(CsvRows::Runs);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBFrun_id,station,os_user,examinee,kind,"));
        for (const Case& c : cases_)
            QVERIFY2(bytes.contains(",user," + c.field + ",exam,"), c.field.constData());
    }

    // Whatever the text, the fields read back as written, in their columns.
    void everyValueReadsBack() {
        const QList<QStringList> runs = parseCsv(csv(CsvRows::Runs).mid(3));
        QCOMPARE(runs.size(), cases_.size() + 1);
        QCOMPARE(runs.first().size(), 24);
        for (int k = 0; k < cases_.size(); ++k) {
            QCOMPARE(runs.at(k + 1).size(), 24);
            QCOMPARE(runs.at(k + 1).at(0), runId(k));
            QCOMPARE(runs.at(k + 1).at(3), cases_[k].examinee.isNull() ? "" : cases_[k].examinee);
            QCOMPARE(runs.at(k + 1).at(8), QStringLiteral("1"));
            QCOMPARE(runs.at(k + 1).at(10), QString()); // no time limit: NULL
        }
        const QList<QStringList> answers = parseCsv(csv(CsvRows::Answers).mid(3));
        QCOMPARE(answers.size(), 2 * cases_.size() + 1);
        QCOMPARE(answers.at(1), (QStringList{"run-0", "1", "1", "1", "1;3", "1;3", "1", "",
                                             "2026-05-01T10:00:01.000Z", "0", "0"}));
        for (int k = 0; k < cases_.size(); ++k)
            QCOMPARE(answers.at(2 * k + 2).at(0), runId(k));
        QCOMPARE(answers.last().at(1), QStringLiteral("2"));
    }

    void filtersApply() {
        RunFilter filter;
        filter.examinee = QStringLiteral("ИВАН");
        QCOMPARE(parseCsv(csv(CsvRows::Runs, filter).mid(3)).size(), 2);
        QCOMPARE(parseCsv(csv(CsvRows::Answers, filter).mid(3)).size(), 3);
        filter = {};
        filter.since = QDateTime(QDate(2026, 5, 1), QTime(9, 59), Qt::UTC);
        QCOMPARE(parseCsv(csv(CsvRows::Runs, filter).mid(3)).size(), 3);
    }
};

QTEST_GUILESS_MAIN(JournalCsvTest)
#include "tst_journal_csv.moc"
