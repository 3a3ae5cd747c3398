#pragma once

#include "journal/journal_reader.h"
#include "viewer/base_lookup.h"
#include "viewer/viewer_environment.h"

#include <QMainWindow>
#include <memory>

class QLabel;
class QTabWidget;

namespace korvel {

class AnalysisPage;
class PastRunPage;
class RunsPage;

// KorvelJournal's window: the runs of the journal the program's settings
// name, one run with its answers and report, and a base's item analysis
// with plots. It opens the journal for reading only and never changes it.
class JournalWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit JournalWindow(const ViewerEnvironment& environment, QWidget* parent = nullptr);
    ~JournalWindow() override;

    // Opens the journal the settings name (the centre's server when
    // JournalServer is set); a missing or unreadable one is said in a
    // message and leaves the window empty.
    void openJournal();
    const JournalReader* journal() const { return reader_.get(); }

    RunsPage* runsPage() const { return runs_; }
    PastRunPage* runPage() const { return run_; }
    AnalysisPage* analysisPage() const { return analysis_; }
    QTabWidget* tabs() const { return tabs_; }

    void openRun(const QString& runId);
    void exportCsv(bool answers);
    void savePlot();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void openServerJournal(const QString& server);
    void refreshAnalysis();
    void restoreWindowState();
    void saveWindowState();
    void reportFailure(const QString& text);
    QString askFileName(const QString& title, const QString& filter, const QString& pattern,
                        const QString& proposed);

    const ViewerEnvironment& environment_;
    BaseLookup bases_;
    std::unique_ptr<JournalReader> reader_;
    QTabWidget* tabs_;
    RunsPage* runs_;
    PastRunPage* run_;
    AnalysisPage* analysis_;
    QLabel* source_;
    bool analysisStale_ = true;
    bool restored_ = false;
};

} // namespace korvel
