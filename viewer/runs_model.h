#pragma once

#include "journal/journal_reader.h"

#include <QAbstractTableModel>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSqlDatabase>
#include <optional>

namespace korvel {

// One line of the runs table, as far as the table shows it.
struct RunRow {
    QString runId;
    QDateTime startedAt;
    QString examinee;
    QString station;
    QString baseName;
    QString baseFile;
    QString kind;    // the journal's word
    QString tickets; // "2;5;7"
    std::optional<int> right, wrong, unanswered, percent, grade;
    QString endedBy; // the journal's word; empty while the run goes on
    int interruptions = 0;
};

// The journal's runs that a filter leaves, read a page at a time as the view
// asks for rows: the database sorts (ORDER BY), filters (WHERE) and pages
// (LIMIT/OFFSET), so a journal of any size opens at once and memory holds a
// few pages only.
class RunsModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        StartedAt,
        Examinee,
        Station,
        Base,
        Kind,
        Tickets,
        Right,
        Wrong,
        Unanswered,
        Percent,
        Grade,
        EndedBy,
        Interrupted,
        ColumnCount
    };
    static constexpr int PageSize = 200;
    static constexpr int PagesKept = 24;
    static constexpr int RunIdRole = Qt::UserRole;

    explicit RunsModel(QObject* parent = nullptr);

    // No journal: an empty table.
    void setJournal(const JournalReader* reader);
    // Counts the rows again and forgets the pages read. False (and `error`)
    // when the journal could not be read; the table is empty then.
    bool setFilter(const RunFilter& filter, QString& error);
    bool reload(QString& error);
    const RunFilter& filter() const { return filter_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

    int sortColumn() const { return sortColumn_; }
    Qt::SortOrder sortOrder() const { return sortOrder_; }
    // Null when the row is out of range or its page cannot be read.
    const RunRow* row(int row) const;
    // The last failure of a page read; empty when every read went well.
    QString lastError() const { return lastError_; }

private:
    bool count(QString& error);
    bool fetchPage(int page) const;
    bool countInterruptions(QList<RunRow>& rows) const;
    QString orderBy() const;

    const JournalReader* reader_ = nullptr;
    RunFilter filter_;
    int sortColumn_ = StartedAt;
    Qt::SortOrder sortOrder_ = Qt::DescendingOrder;
    int rows_ = 0;
    mutable QHash<int, QList<RunRow>> pages_;
    mutable QList<int> pageUse_; // least recently used first
    mutable QString lastError_;
};

// How the table writes the journal's words.
QString kindText(const QString& kindWord);
QString endingText(const QString& endingWord);

} // namespace korvel
