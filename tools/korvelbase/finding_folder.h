#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace korvel {

// Passes findings on as lines, folding a run of the same finding over
// consecutive questions into one line with a count, so that a base that
// announces a million questions and holds none gives a few lines:
//
//   ticket 1, question 1 to ticket 1000, question 1000 (1000000 questions):
//   B<t>\T.<q> is missing or damaged
//
// (one line). A finding of a single question reads as it always did:
// "ticket 3, question 7: B3\T.7 is missing or damaged".
class FindingFolder {
public:
    using Report = std::function<void(const QString& line)>;
    explicit FindingFolder(Report report)
        : report_(std::move(report)) {}

    // A finding of the base as a whole; passed on at once.
    void base(const QString& text);
    // All findings of one question, given for every question in base order
    // (also for those without findings, which end the runs). The question's
    // own entry names in the texts are what runs are matched by.
    void question(int ticket, int question, const QStringList& texts);
    // Passes on the runs still open.
    void finish();

    // Findings so far, each question of a run counted.
    qint64 count() const { return count_; }

private:
    struct Run {
        QString kind; // the text with <t> and <q> for the numbers
        QString firstText;
        int firstTicket = 0;
        int firstQuestion = 0;
        int lastTicket = 0;
        int lastQuestion = 0;
        qint64 length = 0;
    };
    void pass(const Run& run);

    Report report_;
    std::vector<Run> open_;
    qint64 count_ = 0;
};

} // namespace korvel
