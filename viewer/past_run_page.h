#pragma once

#include "basestore/base_archive.h"
#include "engine/colouring.h"
#include "journal/journal.h"
#include "viewer/viewer_environment.h"

#include <QTextDocument>
#include <QWidget>
#include <optional>

class QLabel;
class QPushButton;
class QStackedWidget;
class QTableWidget;
class QTextBrowser;

namespace korvel {

class BaseLookup;

// One run of the journal: what it was, its answers question by question with
// the time on each, the question and its answers in the program's answer
// colours, and the report the results page would have given, to save as RTF
// or print.
class PastRunPage final : public QWidget {
    Q_OBJECT
public:
    PastRunPage(const ViewerEnvironment& environment, BaseLookup& bases, QWidget* parent = nullptr);

    void showRun(const StoredRun& run);
    void clear();
    const std::optional<StoredRun>& run() const { return run_; }
    // The base file of the run's recorded digest; empty when it is not in Base/.
    const QString& basePath() const { return basePath_; }
    const QTextDocument& reportDocument() const { return report_; }

    // "Отчет": composes the report and shows it.
    void ShowReportClick();
    void SaveReportClick();
    void PrintReportClick();

signals:
    void backToRuns();

private:
    void showAnswer(int row);
    void fillAnswers();
    QString questionHtml(int ticket, int question, const QList<int>& chosen,
                         const QList<int>& right);

    const ViewerEnvironment& environment_;
    BaseLookup& bases_;
    AnswerColours colours_;
    Archiver archiver_;
    std::optional<StoredRun> run_;
    QString basePath_;
    QTextDocument report_;

    QStackedWidget* stack_;
    QLabel* summary_;
    QTableWidget* answers_;
    QTextBrowser* question_;
    QPushButton* showReport_;
    QTextBrowser* reportView_;
};

} // namespace korvel
