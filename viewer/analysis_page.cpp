#include "viewer/analysis_page.h"

#include "journal/journal_failure.h"
#include "journal/journal_values.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QMap>
#include <QPushButton>
#include <QScatterSeries>
#include <QSplitter>
#include <QSqlError>
#include <QSqlQuery>
#include <QStackedBarSeries>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

namespace korvel {

namespace {

enum ItemColumn {
    ItemTicket,
    ItemQuestion,
    Presented,
    Answered,
    RightCount,
    Facility,
    Discrimination,
    FirstChoice, // five columns of choices
    Flags = FirstChoice + 5,
    ItemColumns
};

// Bars and their legend: a question without flags, and one colour a flag.
struct FlagLook {
    const char* flag;
    const char* title;  // in the table
    const char* legend; // under the plot, where room is short
    QColor colour;
};
const FlagLook FlagLooks[] = {
    {"", "без замечаний", "без замечаний", QColor(0x4f, 0x86, 0xad)},
    {"too_hard", "слишком трудный", "трудный", QColor(0xc0, 0x39, 0x2b)},
    {"too_easy", "слишком легкий", "легкий", QColor(0xe8, 0xa3, 0x3d)},
    {"negative_discrimination", "отрицательная различительная способность", "различение < 0",
     QColor(0x7d, 0x3c, 0x98)},
};

QTableWidgetItem* cell(const QString& text, Qt::Alignment alignment = Qt::AlignCenter) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment);
    return item;
}

QChartView* chartView(const char* name, const QString& accessible) {
    auto* view = new QChartView;
    view->setObjectName(QLatin1String(name));
    view->setAccessibleName(accessible);
    view->setRenderHint(QPainter::Antialiasing);
    view->setFocusPolicy(Qt::StrongFocus);
    view->setMinimumHeight(220);
    return view;
}

QChart* freshChart(QChartView* view, const QString& title) {
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setAlignment(Qt::AlignBottom);
    view->setChart(chart); // the view deletes the chart it showed before
    return chart;
}

QDate weekOf(const QDateTime& time) {
    const QDate day = time.toLocalTime().date();
    return day.addDays(1 - day.dayOfWeek());
}

// The graded runs the filter leaves: `columns` of them, in `order`.
bool queryGradedRuns(QSqlQuery& query, const JournalReader& reader, const RunFilter& filter,
                     const QString& columns, const QString& order, QString& error) {
    QString where;
    QVariantList values;
    if (!runFilterCondition(reader.database(), filter, where, values, error))
        return false;
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT %1 FROM runs WHERE (%2) AND grade IS NOT NULL %3")
                      .arg(columns, where, order));
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (query.exec())
        return true;
    error = failureDetail(query.lastError());
    return false;
}

} // namespace

QString figureText(const std::optional<double>& value) {
    return value ? QLocale(QLocale::Russian).toString(*value, 'f', 2) : QStringLiteral("—");
}

QString flagsText(const QStringList& flags) {
    QStringList words;
    for (const QString& flag : flags) {
        const auto look =
            std::find_if(std::begin(FlagLooks), std::end(FlagLooks),
                         [&](const FlagLook& l) { return flag == QLatin1String(l.flag); });
        words << (look != std::end(FlagLooks) ? QString::fromUtf8(look->title) : flag);
    }
    return words.join(QStringLiteral(", "));
}

AnalysisPage::AnalysisPage(QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("AnalysisPage"));
    kind_ = new QComboBox;
    kind_->setObjectName(QStringLiteral("AnalysisKind"));
    kind_->setAccessibleName(QStringLiteral("Вид анализируемых прохождений"));
    kind_->addItem(QStringLiteral("Экзамены"), int(RecordedRunKind::Exam));
    kind_->addItem(QStringLiteral("Подготовка"), int(RecordedRunKind::Preparation));
    auto* kindLabel = new QLabel(QStringLiteral("&Анализировать:"));
    kindLabel->setBuddy(kind_);
    summary_ = new QLabel;
    summary_->setObjectName(QStringLiteral("AnalysisSummary"));
    summary_->setWordWrap(true);
    auto* savePlot = new QPushButton(QStringLiteral("График в &PNG..."));
    savePlot->setObjectName(QStringLiteral("SavePlot"));
    savePlot->setAccessibleName(QStringLiteral("Сохранить показанный график в PNG"));
    auto* top = new QHBoxLayout;
    top->addWidget(kindLabel);
    top->addWidget(kind_);
    top->addWidget(summary_, 1);
    top->addWidget(savePlot);

    items_ = new QTableWidget(0, ItemColumns);
    items_->setObjectName(QStringLiteral("ItemTable"));
    items_->setAccessibleName(QStringLiteral("Анализ вопросов"));
    QStringList headers = {QStringLiteral("Билет"),      QStringLiteral("Вопрос"),
                           QStringLiteral("Предъявлен"), QStringLiteral("Отвечен"),
                           QStringLiteral("Верно"),      QStringLiteral("Трудность"),
                           QStringLiteral("Различение")};
    for (int k = 1; k <= 5; ++k)
        headers << QStringLiteral("Выбор %1").arg(k);
    headers << QStringLiteral("Замечания");
    items_->setHorizontalHeaderLabels(headers);
    items_->horizontalHeaderItem(Facility)->setToolTip(
        QStringLiteral("Доля верных ответов среди ответивших"));
    items_->horizontalHeaderItem(Discrimination)
        ->setToolTip(QStringLiteral("Корреляция ответа на вопрос с остальным результатом"));
    tickets_ = new QTableWidget(0, 3);
    tickets_->setObjectName(QStringLiteral("TicketTable"));
    tickets_->setAccessibleName(QStringLiteral("Надежность билетов"));
    tickets_->setHorizontalHeaderLabels(
        {QStringLiteral("Билет"), QStringLiteral("Прохождений"), QStringLiteral("Альфа Кронбаха")});
    for (QTableWidget* table : {items_, tickets_}) {
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        table->setSelectionBehavior(QAbstractItemView::SelectRows);
        table->setTabKeyNavigation(false);
        table->verticalHeader()->hide();
        table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
        table->horizontalHeader()->setStretchLastSection(true);
    }

    grades_ = chartView("GradeChart", QStringLiteral("Распределение оценок"));
    facility_ = chartView("FacilityChart", QStringLiteral("Трудность вопросов"));
    passed_ = chartView("PassedChart", QStringLiteral("Доля сдавших по неделям"));
    plots_ = new QTabWidget;
    plots_->setObjectName(QStringLiteral("PlotTabs"));
    plots_->setAccessibleName(QStringLiteral("Графики"));
    plots_->addTab(grades_, QStringLiteral("Оценки"));
    plots_->addTab(facility_, QStringLiteral("Трудность вопросов"));
    plots_->addTab(passed_, QStringLiteral("Сдавшие по неделям"));

    auto* tables = new QSplitter(Qt::Vertical);
    tables->addWidget(items_);
    tables->addWidget(tickets_);
    tables->setStretchFactor(0, 3);
    tables->setStretchFactor(1, 1);
    auto* split = new QSplitter(Qt::Horizontal);
    split->setObjectName(QStringLiteral("AnalysisSplitter"));
    split->addWidget(tables);
    split->addWidget(plots_);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    split->setSizes({600, 420});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(split, 1);

    connect(kind_, &QComboBox::currentIndexChanged, this, &AnalysisPage::kindChanged);
    connect(savePlot, &QPushButton::clicked, this, &AnalysisPage::savePlotRequested);
}

bool AnalysisPage::showAnalysis(const JournalReader* reader, const RunFilter& filter,
                                const QString& baseSha256, const QString& baseTitle,
                                QString& error) {
    analysis_.reset();
    items_->setRowCount(0);
    tickets_->setRowCount(0);
    freshChart(grades_, QStringLiteral("Распределение оценок"));
    freshChart(facility_, QStringLiteral("Трудность вопросов"));
    freshChart(passed_, QStringLiteral("Доля сдавших по неделям"));
    if (!reader) {
        summary_->setText(QStringLiteral("Журнал не открыт."));
        return true;
    }
    if (baseSha256.isEmpty()) {
        summary_->setText(QStringLiteral("Выберите базу в отборе на странице «Прохождения»: "
                                         "анализ вопросов ведется по одной базе."));
        return true;
    }
    const auto kind = RecordedRunKind(kind_->currentData().toInt());
    analysis_ = analyseItems(reader->database(), baseSha256, kind, error, filter);
    if (!analysis_) {
        summary_->setText(QStringLiteral("Анализ не выполнен."));
        return false;
    }
    summary_->setText(QStringLiteral("%1: завершенных прохождений %2, вопросов %3.")
                          .arg(baseTitle)
                          .arg(analysis_->runs)
                          .arg(analysis_->questions.size()));
    fillItems();
    fillTickets();
    plotFacility();
    // The plots of the runs analysed: this base, this kind.
    RunFilter ofBase = filter;
    ofBase.baseSha256 = baseSha256;
    ofBase.kind = kind;
    return plotGrades(*reader, ofBase, error) && plotPassedByWeek(*reader, ofBase, error);
}

void AnalysisPage::fillItems() {
    QList<QuestionStatistics> questions = analysis_->questions;
    // Flagged first; otherwise in the base's order.
    std::stable_sort(questions.begin(), questions.end(),
                     [](const QuestionStatistics& a, const QuestionStatistics& b) {
                         return !a.flags.isEmpty() && b.flags.isEmpty();
                     });
    items_->setRowCount(int(questions.size()));
    for (int row = 0; row < questions.size(); ++row) {
        const QuestionStatistics& q = questions.at(row);
        items_->setItem(row, ItemTicket, cell(QString::number(q.ticket)));
        items_->setItem(row, ItemQuestion, cell(QString::number(q.question)));
        items_->setItem(row, Presented, cell(QString::number(q.presented)));
        items_->setItem(row, Answered, cell(QString::number(q.answered)));
        items_->setItem(row, RightCount, cell(QString::number(q.right)));
        items_->setItem(row, Facility, cell(figureText(q.facility)));
        items_->setItem(row, Discrimination, cell(figureText(q.discrimination)));
        for (int k = 0; k < 5; ++k)
            items_->setItem(row, FirstChoice + k, cell(QString::number(q.choices[size_t(k)])));
        auto* flags = cell(flagsText(q.flags), Qt::AlignLeft | Qt::AlignVCenter);
        if (!q.flags.isEmpty())
            flags->setForeground(QColor(0xb0, 0, 0));
        items_->setItem(row, Flags, flags);
    }
    items_->resizeColumnsToContents();
}

void AnalysisPage::fillTickets() {
    tickets_->setRowCount(int(analysis_->tickets.size()));
    for (int row = 0; row < analysis_->tickets.size(); ++row) {
        const TicketStatistics& t = analysis_->tickets.at(row);
        tickets_->setItem(row, 0, cell(QString::number(t.ticket)));
        tickets_->setItem(row, 1, cell(QString::number(t.runs)));
        tickets_->setItem(row, 2, cell(figureText(t.alpha)));
    }
    tickets_->resizeColumnsToContents();
}

void AnalysisPage::plotFacility() {
    QChart* chart = freshChart(facility_, QStringLiteral("Трудность вопросов (доля верных)"));
    // A stacked series with one set a flag: each question's bar is in the
    // set of its first flag and 0 in the others, so bars take their flag's colour.
    auto* series = new QStackedBarSeries;
    QList<QBarSet*> sets;
    for (const FlagLook& look : FlagLooks) {
        auto* set = new QBarSet(QString::fromUtf8(look.legend));
        set->setColor(look.colour);
        set->setBorderColor(look.colour);
        sets << set;
    }
    QStringList categories;
    for (const QuestionStatistics& q : analysis_->questions) {
        categories << QStringLiteral("%1.%2").arg(q.ticket).arg(q.question);
        int lookIndex = 0;
        for (int i = 1; i < int(std::size(FlagLooks)); ++i)
            if (q.flags.contains(QLatin1String(FlagLooks[i].flag)) && lookIndex == 0)
                lookIndex = i;
        for (int i = 0; i < sets.size(); ++i)
            sets[i]->append(i == lookIndex ? q.facility.value_or(0) : 0);
    }
    for (QBarSet* set : sets)
        series->append(set);
    chart->addSeries(series);
    auto* x = new QBarCategoryAxis;
    x->append(categories);
    x->setTitleText(QStringLiteral("билет.вопрос"));
    auto* y = new QValueAxis;
    y->setRange(0, 1);
    y->setTickCount(6);
    y->setLabelFormat(QStringLiteral("%.1f"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
}

bool AnalysisPage::plotGrades(const JournalReader& reader, const RunFilter& filter,
                              QString& error) {
    QSqlQuery query(reader.database());
    if (!queryGradedRuns(query, reader, filter, QStringLiteral("grade, COUNT(*)"),
                         QStringLiteral("GROUP BY grade"), error))
        return false;
    QMap<int, int> counts;
    while (query.next())
        counts[query.value(0).toInt()] = query.value(1).toInt();
    QChart* chart = freshChart(grades_, QStringLiteral("Распределение оценок"));
    auto* set = new QBarSet(QStringLiteral("прохождений"));
    set->setColor(QColor(0x4f, 0x86, 0xad));
    int most = 1;
    for (int grade = 2; grade <= 5; ++grade) {
        set->append(counts.value(grade));
        most = std::max(most, counts.value(grade));
    }
    auto* series = new QBarSeries;
    series->append(set);
    series->setLabelsVisible(true);
    chart->addSeries(series);
    auto* x = new QBarCategoryAxis;
    x->append({QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5")});
    x->setTitleText(QStringLiteral("оценка"));
    auto* y = new QValueAxis;
    y->setRange(0, most);
    y->applyNiceNumbers();
    y->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
    chart->legend()->hide();
    return true;
}

bool AnalysisPage::plotPassedByWeek(const JournalReader& reader, const RunFilter& filter,
                                    QString& error) {
    QSqlQuery query(reader.database());
    if (!queryGradedRuns(query, reader, filter, QStringLiteral("started_at, grade"),
                         QStringLiteral("ORDER BY started_at"), error))
        return false;
    QMap<QDate, std::pair<int, int>> weeks; // passed, graded
    while (query.next()) {
        auto& week = weeks[weekOf(parseJournalTime(query.value(0)))];
        week.first += query.value(1).toInt() >= 4 ? 1 : 0;
        ++week.second;
    }
    QChart* chart = freshChart(passed_, QStringLiteral("Доля сдавших (4 и 5) по неделям, %"));
    auto* line = new QLineSeries;
    line->setName(QStringLiteral("сдали, %"));
    line->setColor(QColor(0x2e, 0x5e, 0x82));
    auto* points = new QScatterSeries;
    points->setMarkerSize(7);
    points->setColor(QColor(0x2e, 0x5e, 0x82));
    for (auto week = weeks.cbegin(); week != weeks.cend(); ++week) {
        const qreal x = qreal(week.key().startOfDay().toMSecsSinceEpoch());
        const qreal y = 100.0 * week->first / week->second;
        line->append(x, y);
        points->append(x, y);
    }
    chart->addSeries(line);
    chart->addSeries(points);
    auto* x = new QDateTimeAxis;
    x->setFormat(QStringLiteral("dd.MM.yy"));
    x->setTitleText(QStringLiteral("неделя с"));
    if (!weeks.isEmpty())
        x->setRange(weeks.firstKey().addDays(-3).startOfDay(),
                    weeks.lastKey().addDays(3).startOfDay());
    auto* y = new QValueAxis;
    y->setRange(0, 100);
    y->setTickCount(6);
    y->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QXYSeries* series : {static_cast<QXYSeries*>(line), static_cast<QXYSeries*>(points)}) {
        series->attachAxis(x);
        series->attachAxis(y);
    }
    chart->legend()->hide();
    return true;
}

QImage AnalysisPage::currentPlot() const {
    auto* view = qobject_cast<QChartView*>(plots_->currentWidget());
    if (!view)
        return {};
    if (!view->isVisible())
        view->resize(800, 500); // a plot never shown has no size of its own yet
    QImage image(view->size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    view->render(&painter);
    return image;
}

QString AnalysisPage::currentPlotName() const {
    static const char* const names[] = {"grades.png", "facility.png", "passed_by_week.png"};
    const int index = plots_->currentIndex();
    return QLatin1String(index >= 0 && index < 3 ? names[index] : "plot.png");
}

} // namespace korvel
