#pragma once

#include "journal/journal.h"
#include "journal/journal_rows.h"
#include "journal/named_connection.h"
#include "journal/server_connection.h"
#include "journal/server_schema.h"
#include "tests/support/postgres_server.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUuid>
#include <atomic>

namespace korvel::test {

inline const QString StationPassword = QStringLiteral("station 'secret'");
inline const QString ViewerPassword = QStringLiteral("viewer-secret");

// A run of `answers` answers recorded through the journal's own interface;
// `end` false leaves it running.
inline QString recordRun(Journal& journal, int answers, bool end = true, int number = 0) {
    const QString id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    const QDateTime t0 = QDateTime(QDate(2026, 12, 9), QTime(8, 0), Qt::UTC).addSecs(number * 3600);
    RunStartRecord start;
    start.runId = id;
    start.kind = number % 3 == 0 ? RecordedRunKind::Exam : RecordedRunKind::Preparation;
    start.examinee = start.kind == RecordedRunKind::Exam
                         ? QStringLiteral("Петров П. П. №%1").arg(number)
                         : QString();
    start.baseFile = QStringLiteral("demo.zip");
    start.baseName = QStringLiteral("Демо-база");
    start.baseSha256 = QString(64, u'c');
    start.tickets = {1, 2};
    start.questionsPerTicket = (answers + 1) / 2;
    if (start.kind == RecordedRunKind::Exam)
        start.timeLimitSeconds = 1200;
    start.startedAt = t0;
    journal.runStarted(start);
    int right = 0;
    for (int seq = 1; seq <= answers; ++seq) {
        const int ticket = seq <= start.questionsPerTicket ? 1 : 2;
        const int question = ticket == 1 ? seq : seq - start.questionsPerTicket;
        const QDateTime shown = t0.addSecs(seq * 10);
        journal.questionPresented({id, ticket, question, {1, 3}, shown});
        AnswerRecord answer;
        answer.runId = id;
        answer.seq = seq;
        answer.ticket = ticket;
        answer.question = question;
        answer.chosen = seq % 3 ? QList<int>{1, 3} : QList<int>{2};
        answer.right = {1, 3};
        answer.correct = answer.chosen == answer.right;
        right += answer.correct;
        answer.shownAt = shown;
        answer.answeredAt = shown.addMSecs(4321);
        answer.msOnQuestion = 4321;
        answer.elapsedSeconds = seq * 10;
        journal.answerJudged(answer);
    }
    if (end) {
        RunEndRecord record;
        record.runId = id;
        record.endedAt = t0.addSecs(answers * 10 + 5);
        record.total = answers;
        record.rightCount = right;
        record.wrongCount = answers - right;
        record.percent = answers ? right * 100 / answers : 0;
        record.grade = record.percent >= 60 ? 4 : 2;
        record.resultText = QStringLiteral("Итог: %1").arg(record.grade.value());
        journal.runEnded(record);
    }
    return id;
}

// Every row of a journal table in a fixed order, as text, from the local
// file or the server alike: what "the same rows" means.
inline QStringList tableRows(const QSqlDatabase& db, const JournalTable& table) {
    QStringList columns;
    for (const QString& column : table.columns)
        columns << u'"' + column + u'"';
    QSqlQuery query(db);
    QStringList rows;
    if (!query.exec(QStringLiteral("SELECT %1 FROM %2").arg(columns.join(u','), table.name)))
        return {QStringLiteral("query failed: ") + query.lastError().text()};
    while (query.next()) {
        QStringList values;
        for (int k = 0; k < columns.size(); ++k)
            values << (query.isNull(k) ? QStringLiteral("NULL") : query.value(k).toString());
        rows << values.join(u'|');
    }
    rows.sort();
    return rows;
}

// A named connection, open on a file or a connection string.
class Connection : public NamedConnection {
public:
    Connection(const QString& driver, const QString& target)
        : NamedConnection(driver, nextName()) {
        if (driver == QLatin1String("QSQLITE"))
            db().setDatabaseName(target);
        else
            db().setConnectOptions(target);
        db().open();
    }

private:
    static QString nextName() {
        static std::atomic<int> counter{0};
        return QStringLiteral("test-%1").arg(++counter);
    }
};

// Makes the journal on a fresh server and a login of each role.
inline bool prepareServer(PostgresServer& server, QString& problem) {
    if (!server.start(problem))
        return false;
    Connection admin(QStringLiteral("QPSQL"), server.adminConnection());
    if (!admin.db().isOpen()) {
        problem = admin.db().lastError().text();
        return false;
    }
    return initServerSchema(admin.db(), problem) &&
           server.admin(QStringLiteral("CREATE ROLE station1 LOGIN PASSWORD $$%1$$ IN ROLE "
                                       "korvel_station; CREATE ROLE viewer1 LOGIN PASSWORD "
                                       "$$%2$$ IN ROLE korvel_viewer")
                            .arg(StationPassword, ViewerPassword),
                        problem);
}

} // namespace korvel::test
