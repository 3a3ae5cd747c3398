#pragma once

#include "journal/journal_reader.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QSettings;
class QTableView;
class QTimer;

namespace korvel {

class RunsModel;

// The runs of the journal as a table, newest first, with the filters above
// it. Every filter change asks the journal again; the table reads its rows
// page by page as they come into view.
class RunsPage final : public QWidget {
    Q_OBJECT
public:
    explicit RunsPage(QWidget* parent = nullptr);

    // No journal: empty lists. Fills the base list from the journal and shows
    // the runs the filters leave.
    void setJournal(const JournalReader* reader);
    // The runs the filters leave, as the journal's queries take them.
    RunFilter filter() const;
    QString chosenBaseSha256() const;
    QString chosenBaseTitle() const;
    RunsModel* model() const { return model_; }
    QTableView* table() const { return table_; }

    void saveState(QSettings& settings) const;
    void restoreState(const QSettings& settings);
    // Reads the journal again (other programs may have recorded runs since).
    void reload();

signals:
    void openRun(const QString& runId);
    void filterChanged();
    void exportRequested(bool answers);
    // A reading of the journal failed; the text says why.
    void failed(const QString& text);

private:
    void fillBases();
    void applyFilter();
    void resetFilters();
    void updateCount();
    void openCurrent();

    const JournalReader* reader_ = nullptr;
    RunsModel* model_;
    QLineEdit* examinee_;
    QComboBox* base_;
    QComboBox* kind_;
    QCheckBox* sinceOn_;
    QDateEdit* since_;
    QCheckBox* untilOn_;
    QDateEdit* until_;
    QComboBox* grade_;
    QComboBox* result_;
    QPushButton* reset_;
    QTableView* table_;
    QLabel* count_;
    QPushButton* open_;
    QTimer* typing_;
    bool restoring_ = false;
};

} // namespace korvel
