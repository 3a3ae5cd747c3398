#include "viewer/runs_model.h"

#include "journal/journal_failure.h"
#include "journal/journal_values.h"

#include <QColor>
#include <QSqlError>
#include <QSqlQuery>
#include <array>

namespace korvel {

namespace {

struct ColumnInfo {
    const char* title;
    const char* sortKey; // an expression of the runs table
    bool nullable;       // the figures of an unfinished run
};

const std::array<ColumnInfo, RunsModel::ColumnCount> Columns = {{
    {"Дата и время", "started_at", false},
    {"Экзаменуемый", "examinee", false},
    {"Станция", "station", false},
    {"База", "base_name", false},
    {"Вид", "kind", false},
    {"Билеты", "tickets", false},
    {"Верно", "right_count", true},
    {"Неверно", "wrong_count", true},
    {"Без ответа", "unanswered", true},
    {"Процент", "percent", true},
    {"Оценка", "grade", true},
    {"Завершение", "ended_by", true},
    {"Прерывания", "(SELECT COUNT(*) FROM interruptions i WHERE i.run_id = runs.run_id)", false},
}};

const char* const SelectedColumns =
    "run_id, started_at, examinee, station, base_name, base_file, kind, tickets, right_count, "
    "wrong_count, unanswered, percent, grade, ended_by";

std::optional<int> optionalInt(const QVariant& value) {
    if (value.isNull())
        return std::nullopt;
    return value.toInt();
}

QVariant shown(const std::optional<int>& value) {
    return value ? QVariant(*value) : QVariant();
}

} // namespace

QString kindText(const QString& kindWord) {
    if (kindWord == QLatin1String("exam"))
        return QStringLiteral("Экзамен");
    if (kindWord == QLatin1String("preparation"))
        return QStringLiteral("Подготовка");
    if (kindWord == QLatin1String("work_on_errors"))
        return QStringLiteral("Работа над ошибками");
    return kindWord;
}

QString endingText(const QString& endingWord) {
    if (endingWord.isEmpty())
        return QStringLiteral("не завершен");
    if (endingWord == QLatin1String("last_answer"))
        return QStringLiteral("все ответы");
    if (endingWord == QLatin1String("time_limit"))
        return QStringLiteral("время вышло");
    if (endingWord == QLatin1String("main_menu"))
        return QStringLiteral("прерван пользователем");
    if (endingWord == QLatin1String("interrupted"))
        return QStringLiteral("сбой программы");
    return endingWord;
}

RunsModel::RunsModel(QObject* parent)
    : QAbstractTableModel(parent) {}

void RunsModel::setJournal(const JournalReader* reader) {
    beginResetModel();
    reader_ = reader;
    rows_ = 0;
    pages_.clear();
    pageUse_.clear();
    endResetModel();
}

bool RunsModel::setFilter(const RunFilter& filter, QString& error) {
    filter_ = filter;
    return reload(error);
}

bool RunsModel::reload(QString& error) {
    beginResetModel();
    pages_.clear();
    pageUse_.clear();
    lastError_.clear();
    const bool ok = count(error);
    if (!ok)
        rows_ = 0;
    endResetModel();
    return ok;
}

bool RunsModel::count(QString& error) {
    rows_ = 0;
    if (!reader_)
        return true;
    QString where;
    QVariantList values;
    if (!runFilterCondition(reader_->database(), filter_, where, values, error))
        return false;
    QSqlQuery query(reader_->database());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT COUNT(*) FROM runs WHERE %1").arg(where));
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec() || !query.next()) {
        error = failureDetail(query.lastError());
        return false;
    }
    rows_ = query.value(0).toInt();
    return true;
}

QString RunsModel::orderBy() const {
    const ColumnInfo& column = Columns[size_t(sortColumn_)];
    const QString key = QLatin1String(column.sortKey);
    const QString direction =
        sortOrder_ == Qt::AscendingOrder ? QStringLiteral("ASC") : QStringLiteral("DESC");
    // A bare column lets the database walk its index (the start time's)
    // instead of sorting every run for every page; unfinished runs (NULL
    // figures) go last either way, on SQLite and PostgreSQL alike.
    QString order = column.nullable ? QStringLiteral("(%1 IS NULL), %1 %2").arg(key, direction)
                                    : QStringLiteral("%1 %2").arg(key, direction);
    // Other keys tie often: the start time and the id after them make the
    // order total, so a page boundary never repeats or skips a run. Runs
    // started in the same millisecond keep the index's order, which a
    // second key would cost a sort of the whole journal for every page.
    if (sortColumn_ != StartedAt)
        order += QStringLiteral(", started_at DESC, run_id %1").arg(direction);
    return order;
}

// For the page's runs only: a count in the select list would be worked out
// for every run the database sorts.
bool RunsModel::countInterruptions(QList<RunRow>& rows) const {
    if (rows.isEmpty())
        return true;
    QHash<QString, int> index;
    for (int i = 0; i < rows.size(); ++i)
        index.insert(rows.at(i).runId, i);
    QSqlQuery query(reader_->database());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT run_id, COUNT(*) FROM interruptions WHERE run_id IN (%1) "
                                 "GROUP BY run_id")
                      .arg(QStringList(rows.size(), QStringLiteral("?")).join(u',')));
    for (const RunRow& row : rows)
        query.addBindValue(row.runId);
    if (!query.exec()) {
        lastError_ = failureDetail(query.lastError());
        return false;
    }
    while (query.next())
        rows[index.value(query.value(0).toString())].interruptions = query.value(1).toInt();
    return true;
}

bool RunsModel::fetchPage(int page) const {
    QString where;
    QVariantList values;
    QString error;
    if (!runFilterCondition(reader_->database(), filter_, where, values, error)) {
        lastError_ = error;
        return false;
    }
    QSqlQuery query(reader_->database());
    query.setForwardOnly(true);
    // The page's ids first, then their rows: a sort that cannot use an
    // index then carries ids, not whole rows, through the skipped pages.
    const QString order = orderBy();
    query.prepare(QStringLiteral("SELECT %1 FROM runs WHERE run_id IN (SELECT run_id FROM runs "
                                 "WHERE %2 ORDER BY %3 LIMIT %4 OFFSET %5) ORDER BY %3")
                      .arg(QLatin1String(SelectedColumns), where, order)
                      .arg(PageSize)
                      .arg(qint64(page) * PageSize));
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec()) {
        lastError_ = failureDetail(query.lastError());
        return false;
    }
    QList<RunRow> rows;
    rows.reserve(PageSize);
    while (query.next()) {
        RunRow row;
        row.runId = query.value(0).toString();
        row.startedAt = parseJournalTime(query.value(1));
        row.examinee = query.value(2).toString();
        row.station = query.value(3).toString();
        row.baseName = query.value(4).toString();
        row.baseFile = query.value(5).toString();
        row.kind = query.value(6).toString();
        row.tickets = query.value(7).toString();
        row.right = optionalInt(query.value(8));
        row.wrong = optionalInt(query.value(9));
        row.unanswered = optionalInt(query.value(10));
        row.percent = optionalInt(query.value(11));
        row.grade = optionalInt(query.value(12));
        row.endedBy = query.value(13).toString();
        rows.append(row);
    }
    if (!countInterruptions(rows))
        return false;
    pages_.insert(page, rows);
    pageUse_.append(page);
    while (pageUse_.size() > PagesKept)
        pages_.remove(pageUse_.takeFirst());
    return true;
}

const RunRow* RunsModel::row(int row) const {
    if (!reader_ || row < 0 || row >= rows_)
        return nullptr;
    const int page = row / PageSize;
    auto found = pages_.constFind(page);
    if (found == pages_.constEnd()) {
        if (!fetchPage(page))
            return nullptr;
        found = pages_.constFind(page);
    } else if (pageUse_.last() != page) {
        pageUse_.removeOne(page);
        pageUse_.append(page);
    }
    const int inPage = row % PageSize;
    // The journal may have lost rows since they were counted (never by this
    // window: it only reads); such rows stay empty until the next reload.
    return inPage < found->size() ? &found->at(inPage) : nullptr;
}

int RunsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int RunsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant RunsModel::data(const QModelIndex& index, int role) const {
    const RunRow* run = index.isValid() ? row(index.row()) : nullptr;
    if (!run)
        return {};
    if (role == RunIdRole)
        return run->runId;
    if (role == Qt::TextAlignmentRole)
        return index.column() >= Right && index.column() <= Grade
                   ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                   : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    if (role == Qt::ForegroundRole && index.column() == Grade && run->grade)
        return QColor(*run->grade >= 4 ? QColor(0, 128, 0) : QColor(255, 0, 0));
    if (role == Qt::ToolTipRole && index.column() == Base)
        return run->baseFile;
    if (role != Qt::DisplayRole)
        return {};
    switch (Column(index.column())) {
    case StartedAt:
        return run->startedAt.toLocalTime().toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    case Examinee:
        return run->examinee;
    case Station:
        return run->station;
    case Base:
        return run->baseName.isEmpty() ? run->baseFile : run->baseName;
    case Kind:
        return kindText(run->kind);
    case Tickets:
        return QString(run->tickets).replace(u';', QStringLiteral(", "));
    case Right:
        return shown(run->right);
    case Wrong:
        return shown(run->wrong);
    case Unanswered:
        return shown(run->unanswered);
    case Percent:
        return shown(run->percent);
    case Grade:
        return shown(run->grade);
    case EndedBy:
        return endingText(run->endedBy);
    case Interrupted:
        return run->interruptions ? QVariant(run->interruptions) : QVariant(QStringLiteral("—"));
    case ColumnCount:
        break;
    }
    return {};
}

QVariant RunsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount ||
        role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return QString::fromUtf8(Columns[size_t(section)].title);
}

void RunsModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= ColumnCount)
        return;
    if (column == sortColumn_ && order == sortOrder_)
        return;
    sortColumn_ = column;
    sortOrder_ = order;
    beginResetModel();
    pages_.clear();
    pageUse_.clear();
    endResetModel();
}

} // namespace korvel
