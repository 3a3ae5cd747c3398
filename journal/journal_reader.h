#pragma once

#include "journal/journal.h"

#include <QSqlDatabase>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace korvel {

// Which runs a listing or an export takes; an empty field takes every run.
struct RunFilter {
    QString examinee; // part of the examinee's name, in any letter case
    QString base;     // part of the base's file name or Name, in any letter case
    QDateTime since;  // started at or after
    QDateTime until;  // started before
    std::optional<RecordedRunKind> kind;
    QString baseSha256;         // exactly the base file of this digest
    std::optional<int> grade;   // graded so (2..5)
    std::optional<bool> passed; // graded 4 or 5 (true), 2 or 3 (false)

    bool isEmpty() const;
    // Whether a run of these values passes the name and base parts (the
    // time and kind are left to SQL).
    bool matchesText(const QString& examinee, const QString& baseFile,
                     const QString& baseName) const;
};

// A journal opened for reading only (korvelbase, the journal window): it
// never creates, changes or moves the file, so it may read a journal the
// program is writing at the same time. Its queries are standard SQL, so
// the same ones serve a centre's server.
class JournalReader {
public:
    // nullptr and a sentence for `error` when the file is missing, is not a
    // journal, was written by a newer version, or cannot be read.
    static std::unique_ptr<JournalReader> open(const QString& path, QString& error);
    ~JournalReader();
    JournalReader(const JournalReader&) = delete;
    JournalReader& operator=(const JournalReader&) = delete;

    const QSqlDatabase& database() const { return db_; }
    const QString& path() const { return path_; }

    // Runs without their answers, newest first; `visit` returns false to
    // stop. False (and `error`) when the reading failed.
    bool forEachRun(const RunFilter& filter, const std::function<bool(const StoredRun&)>& visit,
                    QString& error) const;

    enum class Lookup { Found, NotFound, Ambiguous, Failed };
    // A whole run id, or a prefix that only one run has; the id in `runId`.
    // On Ambiguous, `runId` lists the candidates (at most ten).
    Lookup findRun(const QString& idOrPrefix, QString& runId) const;
    std::optional<StoredRun> run(const QString& runId, QString& error) const;

    // The WHERE clause on runs' columns for the filter's parts but the name
    // and base texts, and its bound values in order. The names are
    // unqualified: no other table of the journal has such columns.
    static QString sqlCondition(const RunFilter& filter, QVariantList& values);

private:
    JournalReader(const QString& path, const QString& connection);

    QString path_;
    QString connection_;
    QSqlDatabase db_;
};

// The whole filter as a WHERE clause on runs' columns, the name and base
// texts included, for readers that let the database count, sort and page the
// runs. The texts become lists of the journal's names that hold them (found
// with the same rule as RunFilter::matchesText: SQL's LIKE folds only ASCII
// letters). False (and `error`) when the journal could not be read.
bool runFilterCondition(const QSqlDatabase& db, const RunFilter& filter, QString& clause,
                        QVariantList& values, QString& error);

} // namespace korvel
