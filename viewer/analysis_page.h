#pragma once

#include "journal/item_analysis.h"
#include "journal/journal_reader.h"

#include <QWidget>
#include <optional>

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QTabWidget;
class QTableWidget;

namespace korvel {

// The item analysis of one base over the runs the filters leave, as the
// journal's queries compute it (the figures of `korvelbase journal stats`),
// flagged questions first, and the plots: grades, facility per question,
// share passed per week.
class AnalysisPage final : public QWidget {
    Q_OBJECT
public:
    explicit AnalysisPage(QWidget* parent = nullptr);

    // Shows the analysis of `baseSha256` (empty: none chosen) over the runs
    // of `filter`. False (and `error`) when the journal could not be read.
    bool showAnalysis(const JournalReader* reader, const RunFilter& filter,
                      const QString& baseSha256, const QString& baseTitle, QString& error);
    const std::optional<ItemAnalysis>& analysis() const { return analysis_; }
    // The plot on show, drawn at its size on screen.
    QImage currentPlot() const;
    QString currentPlotName() const;

signals:
    void kindChanged();
    void savePlotRequested();

private:
    void fillItems();
    void fillTickets();
    bool plotGrades(const JournalReader& reader, const RunFilter& filter, QString& error);
    bool plotPassedByWeek(const JournalReader& reader, const RunFilter& filter, QString& error);
    void plotFacility();

    std::optional<ItemAnalysis> analysis_;
    QComboBox* kind_;
    QLabel* summary_;
    QTableWidget* items_;
    QTableWidget* tickets_;
    QTabWidget* plots_;
    QChartView* grades_;
    QChartView* facility_;
    QChartView* passed_;
};

// Facility and discrimination as the table shows them: two decimals, "—"
// for a figure that cannot be computed.
QString figureText(const std::optional<double>& value);
// The flags of a question in words.
QString flagsText(const QStringList& flags);

} // namespace korvel
