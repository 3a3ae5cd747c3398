#include "journal/journal.h"

#include "journal/damaged_file.h"
#include "journal/journal_failure.h"
#include "journal/journal_schema.h"
#include "journal/journal_values.h"
#include "journal/stored_run_reading.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>

namespace korvel {

namespace {

// Long enough for another program's short write to finish, short enough that
// a journal held by someone else never stalls the run on screen.
constexpr int BusyTimeoutMs = 200;

const QString RunIsOpen =
    QStringLiteral("EXISTS (SELECT 1 FROM runs WHERE run_id = ? AND ended_at IS NULL)");

QString connectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("korvel-journal-%1").arg(++counter);
}

QVariant nullInt() {
    return QVariant(QMetaType::fromType<int>());
}

// A null QString binds as NULL; the text columns that must hold text get ''.
QString text(const QString& value) {
    return value.isNull() ? QStringLiteral("") : value;
}

QVariant textOrNull(const QString& text) {
    return text.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(text);
}

QString reasonText(JournalFailure failure) {
    switch (failure) {
    case JournalFailure::Locked:
        return QStringLiteral("файл журнала занят другой программой");
    case JournalFailure::ReadOnly:
        return QStringLiteral("нет права записи в файл журнала или в его папку");
    case JournalFailure::DiskFull:
        return QStringLiteral("на диске не осталось места");
    case JournalFailure::WriteError:
        return QStringLiteral("диск отказал в записи");
    case JournalFailure::Damaged:
        return QStringLiteral("файл журнала повреждён");
    case JournalFailure::Other:
        break;
    }
    return QStringLiteral("ошибка журнала");
}

} // namespace

class Journal::Private {
public:
    Private(const QString& path, const QString& station, const QString& osUser)
        : path_(QDir::cleanPath(path))
        , station_(station)
        , osUser_(osUser)
        , connection_(connectionName()) {}

    ~Private() {
        statements_.reset();
        if (db_.isValid())
            db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(connection_);
    }

    void start();

    // One committed transaction, or recording stops with the reason. The
    // body binds and runs its statements and reports the first failure.
    template <typename Body>
    void write(Body&& body) {
        if (!recording_)
            return;
        QSqlError error;
        if (!exec(statements_->begin, error) || !body(error) || !exec(statements_->commit, error)) {
            QSqlError ignored;
            exec(statements_->rollback, ignored);
            stop(error);
        }
    }

    static bool exec(QSqlQuery& query, QSqlError& error) {
        const bool ok = query.exec();
        if (!ok)
            error = query.lastError();
        query.finish();
        return ok;
    }

    void stop(const QSqlError& error) {
        const QString detail = failureDetail(error);
        fail(reasonText(classifyFailure(error)) +
             (detail.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(detail)));
    }

    void fail(const QString& reason) {
        recording_ = false;
        problem_ = QStringLiteral("Результаты не записываются: %1. Файл журнала: %2")
                       .arg(reason, QDir::toNativeSeparators(path_));
    }

    QList<StoredRun> unfinishedRuns() const;

    QString path_;
    QString station_;
    QString osUser_;
    QString connection_;
    QSqlDatabase db_;
    bool recording_ = false;
    QString problem_;
    QString movedAsideTo_;

    struct Statements {
        QSqlQuery begin, commit, rollback;
        QSqlQuery insertRun, insertPresented, touchRun, insertAnswer, touchRunAnswered, examTime,
            interruptionAtEnd, endRun, insertResumed;
    };
    std::unique_ptr<Statements> statements_ = std::make_unique<Statements>();

private:
    enum class Outcome { Ready, Damaged, Failed };
    Outcome connect();
    bool prepareStatements();
};

Journal::Private::Outcome Journal::Private::connect() {
    const auto failedWith = [this](const QSqlError& error) {
        if (classifyFailure(error) == JournalFailure::Damaged)
            return Outcome::Damaged;
        stop(error);
        return Outcome::Failed;
    };
    if (!db_.isValid()) {
        db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
        db_.setDatabaseName(path_);
        db_.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
    }
    if (!db_.open())
        return failedWith(db_.lastError());
    // Look before changing anything: a file that is not ours stays as it was.
    QSqlError error;
    const SchemaCheck schema = inspectSchema(db_, error);
    switch (schema.state) {
    case SchemaState::Ready:
        break;
    case SchemaState::Foreign:
        return Outcome::Damaged;
    case SchemaState::Newer:
        db_.close();
        fail(QStringLiteral("файл журнала записан более новой версией программы (версия схемы %1)")
                 .arg(schema.version));
        return Outcome::Failed;
    case SchemaState::Failed:
        return failedWith(error);
    }
    QSqlQuery query(db_);
    // WAL and FULL: each commit is on the disk before the call returns, and a
    // reader (the journal window, korvelbase) never blocks the writer.
    if (!query.exec(QStringLiteral("PRAGMA journal_mode = WAL")) || !query.next() ||
        !query.exec(QStringLiteral("PRAGMA synchronous = FULL")))
        return failedWith(query.lastError());
    if (!migrateSchema(db_, schema.version, error))
        return failedWith(error);
    // A file that reads but cannot be written (read-only file, folder or
    // disk) says so now rather than at the first answer.
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE")) ||
        !query.exec(QStringLiteral("PRAGMA user_version = %1").arg(JournalSchemaVersion)) ||
        !query.exec(QStringLiteral("COMMIT"))) {
        const QSqlError failure = query.lastError();
        QSqlQuery(db_).exec(QStringLiteral("ROLLBACK"));
        return failedWith(failure);
    }
    return Outcome::Ready;
}

void Journal::Private::start() {
    const QString folder = QFileInfo(path_).absolutePath();
    if (!QDir().mkpath(folder)) {
        fail(QStringLiteral("не удалось создать папку %1").arg(QDir::toNativeSeparators(folder)));
        return;
    }
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE"))) {
        fail(QStringLiteral("нет драйвера SQLite для Qt (QSQLITE)"));
        return;
    }
    Outcome outcome = connect();
    if (outcome == Outcome::Damaged) {
        db_.close();
        movedAsideTo_ = moveDamagedFileAside(path_, QDateTime::currentDateTime());
        if (movedAsideTo_.isEmpty()) {
            fail(QStringLiteral("файл журнала повреждён, и его не удалось переименовать"));
            return;
        }
        outcome = connect();
        if (outcome == Outcome::Damaged)
            fail(reasonText(JournalFailure::Damaged));
    }
    if (outcome != Outcome::Ready)
        return;
    recording_ = true;
    if (!prepareStatements())
        stop(db_.lastError());
}

bool Journal::Private::prepareStatements() {
    Statements& s = *statements_;
    const auto prepare = [this](QSqlQuery& query, const QString& statement) {
        query = QSqlQuery(db_);
        if (query.prepare(statement))
            return true;
        stop(query.lastError());
        return false;
    };
    return prepare(s.begin, QStringLiteral("BEGIN IMMEDIATE")) &&
           prepare(s.commit, QStringLiteral("COMMIT")) &&
           prepare(s.rollback, QStringLiteral("ROLLBACK")) &&
           prepare(s.insertRun,
                   QStringLiteral("INSERT INTO runs (run_id, station, os_user, examinee, kind, "
                                  "base_file, base_name, base_sha256, tickets, "
                                  "questions_per_ticket, time_limit_s, started_at, "
                                  "parent_run_id, last_seen_at) "
                                  "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) "
                                  "ON CONFLICT (run_id) DO NOTHING")) &&
           prepare(s.insertPresented,
                   QStringLiteral("INSERT INTO presented (run_id, ticket, question, \"right\", "
                                  "first_shown_at) SELECT ?, ?, ?, ?, ? WHERE %1 "
                                  "ON CONFLICT DO NOTHING")
                       .arg(RunIsOpen)) &&
           prepare(s.touchRun, QStringLiteral("UPDATE runs SET last_seen_at = ? "
                                              "WHERE run_id = ? AND ended_at IS NULL")) &&
           prepare(s.insertAnswer,
                   QStringLiteral("INSERT INTO answers (run_id, seq, ticket, question, chosen, "
                                  "\"right\", correct, shown_at, answered_at, ms_on_question, "
                                  "elapsed_s) SELECT ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ? WHERE %1 "
                                  "ON CONFLICT DO NOTHING")
                       .arg(RunIsOpen)) &&
           prepare(s.touchRunAnswered, QStringLiteral("UPDATE runs SET last_seen_at = ?, "
                                                      "exam_time_used_s = max(exam_time_used_s, ?) "
                                                      "WHERE run_id = ? AND ended_at IS NULL")) &&
           prepare(s.examTime,
                   QStringLiteral("UPDATE runs SET exam_time_used_s = ?, last_seen_at = ? "
                                  "WHERE run_id = ? AND ended_at IS NULL")) &&
           prepare(s.interruptionAtEnd,
                   QStringLiteral("INSERT INTO interruptions (run_id, interrupted_at, "
                                  "resumed_at, seconds) SELECT run_id, last_seen_at, NULL, "
                                  "max(0, CAST(round((julianday(?) - julianday(last_seen_at)) "
                                  "* 86400) AS INTEGER)) "
                                  "FROM runs WHERE run_id = ? AND ended_at IS NULL")) &&
           prepare(s.endRun,
                   QStringLiteral("UPDATE runs SET ended_at = ?, ended_by = ?, total = ?, "
                                  "right_count = ?, wrong_count = ?, unanswered = ?, "
                                  "percent = ?, grade = ?, result_text = ?, "
                                  "last_seen_at = coalesce(?, last_seen_at) "
                                  "WHERE run_id = ? AND ended_at IS NULL")) &&
           prepare(s.insertResumed,
                   QStringLiteral("INSERT INTO interruptions (run_id, interrupted_at, "
                                  "resumed_at, seconds) SELECT ?, ?, ?, ? WHERE %1")
                       .arg(RunIsOpen));
}

QList<StoredRun> Journal::Private::unfinishedRuns() const {
    QList<StoredRun> runs;
    if (!db_.isOpen())
        return runs;
    QSqlQuery query(db_);
    query.prepare(QStringLiteral("SELECT run_id FROM runs WHERE ended_at IS NULL AND "
                                 "station = ? AND os_user = ? ORDER BY started_at DESC"));
    query.addBindValue(station_);
    query.addBindValue(osUser_);
    if (!query.exec())
        return runs;
    QStringList ids;
    while (query.next())
        ids << query.value(0).toString();
    query.finish();
    for (const QString& id : ids) {
        QSqlError error;
        if (std::optional<StoredRun> run = readStoredRun(db_, id, error))
            runs.append(*run);
    }
    return runs;
}

Journal::Journal(std::unique_ptr<Private> d)
    : d(std::move(d)) {}

Journal::~Journal() = default;

std::unique_ptr<Journal> Journal::open(const QString& path, const QString& station,
                                       const QString& osUser) {
    auto d = std::make_unique<Private>(path, station, osUser);
    d->start();
    return std::unique_ptr<Journal>(new Journal(std::move(d)));
}

bool Journal::recording() const {
    return d->recording_;
}

QString Journal::problem() const {
    return d->recording_ ? QString() : d->problem_;
}

QString Journal::movedAsideTo() const {
    return d->movedAsideTo_;
}

void Journal::runStarted(const RunStartRecord& run) {
    d->write([&](QSqlError& error) {
        QSqlQuery& q = d->statements_->insertRun;
        q.addBindValue(run.runId);
        q.addBindValue(text(d->station_));
        q.addBindValue(text(d->osUser_));
        q.addBindValue(text(run.examinee));
        q.addBindValue(kindWord(run.kind));
        q.addBindValue(text(run.baseFile));
        q.addBindValue(text(run.baseName));
        q.addBindValue(text(run.baseSha256));
        q.addBindValue(text(answerListText(run.tickets)));
        q.addBindValue(run.questionsPerTicket);
        q.addBindValue(run.timeLimitSeconds ? QVariant(*run.timeLimitSeconds) : nullInt());
        q.addBindValue(journalTime(run.startedAt));
        q.addBindValue(textOrNull(run.parentRunId));
        q.addBindValue(journalTime(run.startedAt));
        return Private::exec(q, error);
    });
}

void Journal::questionPresented(const PresentationRecord& presentation) {
    d->write([&](QSqlError& error) {
        QSqlQuery& insert = d->statements_->insertPresented;
        insert.addBindValue(presentation.runId);
        insert.addBindValue(presentation.ticket);
        insert.addBindValue(presentation.question);
        insert.addBindValue(text(answerListText(presentation.right)));
        insert.addBindValue(journalTime(presentation.shownAt));
        insert.addBindValue(presentation.runId);
        QSqlQuery& touch = d->statements_->touchRun;
        touch.addBindValue(journalTime(presentation.shownAt));
        touch.addBindValue(presentation.runId);
        return Private::exec(insert, error) && Private::exec(touch, error);
    });
}

void Journal::answerJudged(const AnswerRecord& answer) {
    d->write([&](QSqlError& error) {
        QSqlQuery& insert = d->statements_->insertAnswer;
        insert.addBindValue(answer.runId);
        insert.addBindValue(answer.seq);
        insert.addBindValue(answer.ticket);
        insert.addBindValue(answer.question);
        insert.addBindValue(text(answerListText(answer.chosen)));
        insert.addBindValue(text(answerListText(answer.right)));
        insert.addBindValue(answer.correct ? 1 : 0);
        insert.addBindValue(journalTime(answer.shownAt));
        insert.addBindValue(journalTime(answer.answeredAt));
        insert.addBindValue(answer.msOnQuestion);
        insert.addBindValue(answer.elapsedSeconds);
        insert.addBindValue(answer.runId);
        QSqlQuery& touch = d->statements_->touchRunAnswered;
        touch.addBindValue(journalTime(answer.answeredAt));
        touch.addBindValue(answer.elapsedSeconds);
        touch.addBindValue(answer.runId);
        return Private::exec(insert, error) && Private::exec(touch, error);
    });
}

void Journal::examTimeUsed(const QString& runId, int elapsedSeconds, const QDateTime& at) {
    d->write([&](QSqlError& error) {
        QSqlQuery& q = d->statements_->examTime;
        q.addBindValue(elapsedSeconds);
        q.addBindValue(journalTime(at));
        q.addBindValue(runId);
        return Private::exec(q, error);
    });
}

void Journal::runEnded(const RunEndRecord& end) {
    const bool interrupted = end.endedBy == RunEnding::Interrupted;
    d->write([&](QSqlError& error) {
        // A crashed run is noticed later: the gap since it was last heard of
        // is its interruption, and last_seen_at keeps the moment it stopped.
        if (interrupted) {
            QSqlQuery& gap = d->statements_->interruptionAtEnd;
            gap.addBindValue(journalTime(end.endedAt));
            gap.addBindValue(end.runId);
            if (!Private::exec(gap, error))
                return false;
        }
        QSqlQuery& q = d->statements_->endRun;
        q.addBindValue(journalTime(end.endedAt));
        q.addBindValue(endingWord(end.endedBy));
        q.addBindValue(end.total);
        q.addBindValue(end.rightCount);
        q.addBindValue(end.wrongCount);
        q.addBindValue(end.unanswered);
        q.addBindValue(end.percent);
        q.addBindValue(end.grade ? QVariant(*end.grade) : nullInt());
        q.addBindValue(end.resultText);
        q.addBindValue(interrupted ? journalTime(QDateTime()) : journalTime(end.endedAt));
        q.addBindValue(end.runId);
        return Private::exec(q, error);
    });
}

QList<StoredRun> Journal::unfinishedRuns() const {
    return d->unfinishedRuns();
}

std::optional<StoredRun> Journal::run(const QString& runId) const {
    if (!d->db_.isOpen())
        return std::nullopt;
    QSqlError error;
    return readStoredRun(d->db_, runId, error);
}

void Journal::runResumed(const QString& runId, const QDateTime& interruptedAt,
                         const QDateTime& resumedAt) {
    d->write([&](QSqlError& error) {
        QSqlQuery& insert = d->statements_->insertResumed;
        insert.addBindValue(runId);
        insert.addBindValue(journalTime(interruptedAt));
        insert.addBindValue(journalTime(resumedAt));
        insert.addBindValue(std::max<qint64>(0, interruptedAt.secsTo(resumedAt)));
        insert.addBindValue(runId);
        QSqlQuery& touch = d->statements_->touchRun;
        touch.addBindValue(journalTime(resumedAt));
        touch.addBindValue(runId);
        return Private::exec(insert, error) && Private::exec(touch, error);
    });
}

} // namespace korvel
