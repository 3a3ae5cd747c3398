#include "viewer/runs_page.h"

#include "journal/journal_failure.h"
#include "viewer/runs_model.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <tuple>

namespace korvel {

namespace {

// Typing pauses this long before the journal is asked again.
constexpr int TypingPauseMs = 250;

template <class W>
W* named(W* widget, const char* name, const QString& accessible) {
    widget->setObjectName(QLatin1String(name));
    widget->setAccessibleName(accessible);
    return widget;
}

QLabel* buddyLabel(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text);
    label->setBuddy(buddy);
    return label;
}

void selectData(QComboBox* box, const QVariant& data) {
    const int index = box->findData(data);
    box->setCurrentIndex(index < 0 ? 0 : index);
}

QDateTime startOfDay(const QDate& date) {
    return QDateTime(date, QTime(0, 0)).toUTC();
}

} // namespace

RunsPage::RunsPage(QWidget* parent)
    : QWidget(parent)
    , model_(new RunsModel(this))
    , typing_(new QTimer(this)) {
    setObjectName(QStringLiteral("RunsPage"));
    examinee_ = named(new QLineEdit, "ExamineeSearch", QStringLiteral("Поиск по экзаменуемому"));
    examinee_->setPlaceholderText(QStringLiteral("часть фамилии или имени"));
    examinee_->setClearButtonEnabled(true);
    base_ = named(new QComboBox, "BaseFilter", QStringLiteral("База"));
    base_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    base_->setMinimumContentsLength(24);
    kind_ = named(new QComboBox, "KindFilter", QStringLiteral("Вид прохождения"));
    kind_->addItem(QStringLiteral("Все виды"));
    kind_->addItem(QStringLiteral("Экзамен"), QStringLiteral("exam"));
    kind_->addItem(QStringLiteral("Подготовка"), QStringLiteral("preparation"));
    kind_->addItem(QStringLiteral("Работа над ошибками"), QStringLiteral("work_on_errors"));
    sinceOn_ = named(new QCheckBox(QStringLiteral("&С")), "SinceOn",
                     QStringLiteral("Учитывать начальную дату"));
    since_ = named(new QDateEdit(QDate::currentDate().addMonths(-1)), "SinceDate",
                   QStringLiteral("Начальная дата"));
    untilOn_ = named(new QCheckBox(QStringLiteral("&по")), "UntilOn",
                     QStringLiteral("Учитывать конечную дату"));
    until_ =
        named(new QDateEdit(QDate::currentDate()), "UntilDate", QStringLiteral("Конечная дата"));
    for (QDateEdit* edit : {since_, until_}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        edit->setEnabled(false);
    }
    grade_ = named(new QComboBox, "GradeFilter", QStringLiteral("Оценка"));
    grade_->addItem(QStringLiteral("Все оценки"));
    for (int grade = 5; grade >= 2; --grade)
        grade_->addItem(QString::number(grade), grade);
    result_ = named(new QComboBox, "ResultFilter", QStringLiteral("Итог"));
    result_->addItem(QStringLiteral("Все"));
    result_->addItem(QStringLiteral("Сдали (4 и 5)"), true);
    result_->addItem(QStringLiteral("Не сдали (2 и 3)"), false);
    reset_ = named(new QPushButton(QStringLiteral("&Сбросить")), "ResetFilters",
                   QStringLiteral("Сбросить отбор"));

    auto* filters = new QGroupBox(QStringLiteral("Отбор"));
    auto* grid = new QGridLayout(filters);
    grid->addWidget(buddyLabel(QStringLiteral("&Экзаменуемый:"), examinee_), 0, 0);
    grid->addWidget(examinee_, 0, 1);
    grid->addWidget(buddyLabel(QStringLiteral("&База:"), base_), 0, 2);
    grid->addWidget(base_, 0, 3, 1, 3);
    grid->addWidget(buddyLabel(QStringLiteral("&Вид:"), kind_), 0, 6);
    grid->addWidget(kind_, 0, 7);
    auto* dates = new QHBoxLayout;
    dates->addWidget(sinceOn_);
    dates->addWidget(since_);
    dates->addWidget(untilOn_);
    dates->addWidget(until_);
    dates->addStretch();
    grid->addWidget(new QLabel(QStringLiteral("Даты:")), 1, 0);
    grid->addLayout(dates, 1, 1);
    grid->addWidget(buddyLabel(QStringLiteral("&Оценка:"), grade_), 1, 2);
    grid->addWidget(grade_, 1, 3);
    grid->addWidget(buddyLabel(QStringLiteral("&Итог:"), result_), 1, 4);
    grid->addWidget(result_, 1, 5);
    grid->addWidget(reset_, 1, 7);
    grid->setColumnStretch(1, 2);

    table_ = named(new QTableView, "RunsTable", QStringLiteral("Прохождения"));
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Tab goes on to the next control, not the next cell.
    table_->setTabKeyNavigation(false);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setSortingEnabled(true);
    table_->setAlternatingRowColors(true);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    // Uniform rows: the view never asks for rows out of sight to size them.
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->horizontalHeader()->setSortIndicator(RunsModel::StartedAt, Qt::DescendingOrder);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->horizontalHeader()->setSectionsMovable(true);
    table_->setColumnWidth(RunsModel::StartedAt, 130);
    table_->setColumnWidth(RunsModel::Examinee, 170);
    table_->setColumnWidth(RunsModel::Base, 160);
    table_->setColumnWidth(RunsModel::Kind, 130);
    for (int c = RunsModel::Right; c <= RunsModel::Grade; ++c)
        table_->setColumnWidth(c, 70);

    count_ = named(new QLabel, "RunsCount", QStringLiteral("Число прохождений"));
    open_ = named(new QPushButton(QStringLiteral("&Открыть")), "OpenRun",
                  QStringLiteral("Открыть прохождение"));
    auto* exportRuns = named(new QPushButton(QStringLiteral("Прохождения в &CSV...")), "ExportRuns",
                             QStringLiteral("Сохранить отобранные прохождения в CSV"));
    auto* exportAnswers =
        named(new QPushButton(QStringLiteral("&Ответы в CSV...")), "ExportAnswers",
              QStringLiteral("Сохранить ответы отобранных прохождений в CSV"));
    auto* reload = named(new QPushButton(QStringLiteral("Об&новить")), "Reload",
                         QStringLiteral("Прочитать журнал заново"));
    reload->setShortcut(QKeySequence::Refresh);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(count_);
    buttons->addStretch();
    for (QPushButton* button : {open_, exportRuns, exportAnswers, reload})
        buttons->addWidget(button);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(filters);
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);
    setTabOrder(examinee_, base_);
    setTabOrder(base_, kind_);
    setTabOrder(kind_, sinceOn_);
    setTabOrder(sinceOn_, since_);
    setTabOrder(since_, untilOn_);
    setTabOrder(untilOn_, until_);
    setTabOrder(until_, grade_);
    setTabOrder(grade_, result_);
    setTabOrder(result_, reset_);
    setTabOrder(reset_, table_);

    typing_->setSingleShot(true);
    typing_->setInterval(TypingPauseMs);
    connect(typing_, &QTimer::timeout, this, &RunsPage::applyFilter);
    connect(examinee_, &QLineEdit::textEdited, typing_, qOverload<>(&QTimer::start));
    connect(examinee_, &QLineEdit::returnPressed, this, [this] {
        typing_->stop();
        applyFilter();
    });
    for (QComboBox* box : {base_, kind_, grade_, result_})
        connect(box, &QComboBox::currentIndexChanged, this, &RunsPage::applyFilter);
    connect(sinceOn_, &QCheckBox::toggled, since_, &QWidget::setEnabled);
    connect(untilOn_, &QCheckBox::toggled, until_, &QWidget::setEnabled);
    for (QCheckBox* box : {sinceOn_, untilOn_})
        connect(box, &QCheckBox::toggled, this, &RunsPage::applyFilter);
    for (QDateEdit* edit : {since_, until_})
        connect(edit, &QDateEdit::dateChanged, this, &RunsPage::applyFilter);
    connect(reset_, &QPushButton::clicked, this, &RunsPage::resetFilters);
    connect(table_, &QTableView::activated, this, &RunsPage::openCurrent);
    connect(open_, &QPushButton::clicked, this, &RunsPage::openCurrent);
    connect(exportRuns, &QPushButton::clicked, this, [this] { emit exportRequested(false); });
    connect(exportAnswers, &QPushButton::clicked, this, [this] { emit exportRequested(true); });
    connect(reload, &QPushButton::clicked, this, &RunsPage::reload);
    connect(model_, &QAbstractItemModel::modelReset, this, &RunsPage::updateCount);
    updateCount();
}

void RunsPage::setJournal(const JournalReader* reader) {
    reader_ = reader;
    model_->setJournal(reader);
    fillBases();
    applyFilter();
}

void RunsPage::fillBases() {
    const QSignalBlocker blocker(base_);
    const QVariant chosen = base_->currentData();
    base_->clear();
    base_->addItem(QStringLiteral("Все базы"));
    if (!reader_)
        return;
    // One entry a base file (digest); a base rebuilt under the same name is
    // told apart by the day it was first sat. The digests come from their
    // index; each one's name and first day from its first run.
    QSqlQuery digests(reader_->database());
    digests.setForwardOnly(true);
    QStringList shas;
    if (digests.exec(QStringLiteral("SELECT DISTINCT base_sha256 FROM runs")))
        while (digests.next())
            shas << digests.value(0).toString();
    if (digests.lastError().isValid()) {
        emit failed(failureDetail(digests.lastError()));
        return;
    }
    struct Entry {
        QString sha, title, first;
    };
    QList<Entry> entries;
    QHash<QString, int> names;
    QSqlQuery first(reader_->database());
    first.setForwardOnly(true);
    first.prepare(QStringLiteral("SELECT base_name, base_file, started_at FROM runs WHERE "
                                 "base_sha256 = ? ORDER BY started_at LIMIT 1"));
    for (const QString& sha : shas) {
        first.addBindValue(sha);
        if (!first.exec() || !first.next()) {
            emit failed(failureDetail(first.lastError()));
            return;
        }
        const QString name = first.value(0).toString();
        const QString file = first.value(1).toString();
        const QString title = name.isEmpty() ? file : QStringLiteral("%1 (%2)").arg(name, file);
        ++names[title];
        entries.append({sha, title, first.value(2).toString().left(10)});
        first.finish();
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return std::tie(a.title, a.first) < std::tie(b.title, b.first);
    });
    for (const Entry& entry : entries) {
        const QString title = names.value(entry.title) > 1
                                  ? QStringLiteral("%1, с %2").arg(entry.title, entry.first)
                                  : entry.title;
        base_->addItem(title, entry.sha);
        base_->setItemData(base_->count() - 1, entry.sha, Qt::ToolTipRole);
    }
    selectData(base_, chosen);
}

RunFilter RunsPage::filter() const {
    RunFilter filter;
    filter.examinee = examinee_->text().trimmed();
    filter.baseSha256 = base_->currentData().toString();
    const QString kind = kind_->currentData().toString();
    if (kind == QLatin1String("exam"))
        filter.kind = RecordedRunKind::Exam;
    else if (kind == QLatin1String("preparation"))
        filter.kind = RecordedRunKind::Preparation;
    else if (kind == QLatin1String("work_on_errors"))
        filter.kind = RecordedRunKind::WorkOnErrors;
    if (sinceOn_->isChecked())
        filter.since = startOfDay(since_->date());
    if (untilOn_->isChecked())
        filter.until = startOfDay(until_->date().addDays(1)); // the whole last day
    if (grade_->currentData().isValid())
        filter.grade = grade_->currentData().toInt();
    if (result_->currentData().isValid())
        filter.passed = result_->currentData().toBool();
    return filter;
}

QString RunsPage::chosenBaseSha256() const {
    return base_->currentData().toString();
}

QString RunsPage::chosenBaseTitle() const {
    return base_->currentText();
}

void RunsPage::applyFilter() {
    if (restoring_)
        return;
    QString error;
    if (!model_->setFilter(filter(), error))
        emit failed(error);
    emit filterChanged();
}

void RunsPage::reload() {
    fillBases();
    QString error;
    if (!model_->reload(error))
        emit failed(error);
    emit filterChanged();
}

void RunsPage::resetFilters() {
    restoring_ = true;
    examinee_->clear();
    base_->setCurrentIndex(0);
    kind_->setCurrentIndex(0);
    sinceOn_->setChecked(false);
    untilOn_->setChecked(false);
    grade_->setCurrentIndex(0);
    result_->setCurrentIndex(0);
    restoring_ = false;
    applyFilter();
}

void RunsPage::updateCount() {
    count_->setText(QStringLiteral("Прохождений: %1").arg(model_->rowCount()));
    open_->setEnabled(model_->rowCount() > 0);
    if (model_->rowCount() > 0 && !table_->currentIndex().isValid())
        table_->setCurrentIndex(model_->index(0, 0));
}

void RunsPage::openCurrent() {
    const QModelIndex current = table_->currentIndex();
    if (!current.isValid())
        return;
    const QString runId = model_->data(current, RunsModel::RunIdRole).toString();
    if (!runId.isEmpty())
        emit openRun(runId);
}

void RunsPage::saveState(QSettings& settings) const {
    settings.setValue(QStringLiteral("RunsColumns"), table_->horizontalHeader()->saveState());
    settings.setValue(QStringLiteral("FilterExaminee"), examinee_->text());
    settings.setValue(QStringLiteral("FilterBase"), base_->currentData());
    settings.setValue(QStringLiteral("FilterKind"), kind_->currentData());
    settings.setValue(QStringLiteral("FilterSince"),
                      sinceOn_->isChecked() ? QVariant(since_->date()) : QVariant());
    settings.setValue(QStringLiteral("FilterUntil"),
                      untilOn_->isChecked() ? QVariant(until_->date()) : QVariant());
    settings.setValue(QStringLiteral("FilterGrade"), grade_->currentData());
    settings.setValue(QStringLiteral("FilterPassed"), result_->currentData());
}

void RunsPage::restoreState(const QSettings& settings) {
    restoring_ = true;
    const QByteArray columns = settings.value(QStringLiteral("RunsColumns")).toByteArray();
    if (!columns.isEmpty())
        table_->horizontalHeader()->restoreState(columns);
    examinee_->setText(settings.value(QStringLiteral("FilterExaminee")).toString());
    selectData(base_, settings.value(QStringLiteral("FilterBase")));
    selectData(kind_, settings.value(QStringLiteral("FilterKind")));
    const auto restoreDate = [&](const char* key, QCheckBox* on, QDateEdit* edit) {
        const QDate date = settings.value(QLatin1String(key)).toDate();
        on->setChecked(date.isValid());
        if (date.isValid())
            edit->setDate(date);
    };
    restoreDate("FilterSince", sinceOn_, since_);
    restoreDate("FilterUntil", untilOn_, until_);
    const QVariant grade = settings.value(QStringLiteral("FilterGrade"));
    selectData(grade_, grade.isValid() ? QVariant(grade.toInt()) : QVariant());
    const QVariant passed = settings.value(QStringLiteral("FilterPassed"));
    selectData(result_, passed.isValid() ? QVariant(passed.toBool()) : QVariant());
    restoring_ = false;
    // The header's restored sort indicator is the model's order as well.
    const QHeaderView* header = table_->horizontalHeader();
    model_->sort(header->sortIndicatorSection(), header->sortIndicatorOrder());
    applyFilter();
}

} // namespace korvel
