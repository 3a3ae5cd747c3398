#include "finding_folder.h"

#include "basestore/question_record.h"

#include <algorithm>

namespace korvel {

namespace {

// The question's own entry names in a finding, with <t> and <q> for the numbers.
struct EntryNames {
    QString own[3];
    EntryNames(int ticket, int question)
        : own{questionTextEntry(ticket, question), questionPictureEntry(ticket, question),
              questionRecordEntry(ticket, question)} {}

    QString kindOf(QString text) const {
        static const QString generic[] = {QStringLiteral("B<t>\\T.<q>"),
                                          QStringLiteral("B<t>\\J.<q>"),
                                          QStringLiteral("B<t>\\V.<q>")};
        for (size_t k = 0; k < std::size(own); ++k)
            text.replace(own[k], generic[k]);
        return text;
    }
};

} // namespace

void FindingFolder::base(const QString& text) {
    ++count_;
    report_(text);
}

void FindingFolder::question(int ticket, int question, const QStringList& texts) {
    std::vector<QString> kinds;
    kinds.reserve(size_t(texts.size()));
    if (!texts.isEmpty()) {
        const EntryNames names(ticket, question);
        for (const QString& text : texts)
            kinds.push_back(names.kindOf(text));
    }

    // Runs that this question does not continue end here.
    const auto ended = std::stable_partition(open_.begin(), open_.end(), [&](const Run& run) {
        return std::find(kinds.begin(), kinds.end(), run.kind) != kinds.end();
    });
    for (auto it = ended; it != open_.end(); ++it)
        pass(*it);
    open_.erase(ended, open_.end());

    for (size_t k = 0; k < kinds.size(); ++k) {
        ++count_;
        const auto run = std::find_if(open_.begin(), open_.end(),
                                      [&](const Run& r) { return r.kind == kinds[k]; });
        if (run != open_.end() && (run->lastTicket != ticket || run->lastQuestion != question)) {
            run->lastTicket = ticket;
            run->lastQuestion = question;
            ++run->length;
            continue;
        }
        open_.push_back({kinds[k], texts[qsizetype(k)], ticket, question, ticket, question, 1});
    }
}

void FindingFolder::finish() {
    for (const Run& run : open_)
        pass(run);
    open_.clear();
}

void FindingFolder::pass(const Run& run) {
    if (run.length == 1) {
        report_(QStringLiteral("ticket %1, question %2: %3")
                    .arg(run.firstTicket)
                    .arg(run.firstQuestion)
                    .arg(run.firstText));
        return;
    }
    const QString where = run.firstTicket == run.lastTicket
                              ? QStringLiteral("ticket %1, questions %2 to %3")
                                    .arg(run.firstTicket)
                                    .arg(run.firstQuestion)
                                    .arg(run.lastQuestion)
                              : QStringLiteral("ticket %1, question %2 to ticket %3, question %4")
                                    .arg(run.firstTicket)
                                    .arg(run.firstQuestion)
                                    .arg(run.lastTicket)
                                    .arg(run.lastQuestion);
    report_(QStringLiteral("%1 (%2 questions): %3").arg(where).arg(run.length).arg(run.kind));
}

} // namespace korvel
