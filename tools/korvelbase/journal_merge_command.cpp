#include "journal_merge_command.h"

#include "journal/journal_merge.h"
#include "journal_arguments.h"

#include <QDir>

namespace korvel {

int journalMerge(CommandContext& context, const JournalArguments& arguments) {
    if (!arguments.has("--into"))
        return usageError(context, QStringLiteral("journal merge needs --into B.sqlite"));
    const QStringList& sources = arguments.words;
    const QString into = arguments.value("--into");
    QList<MergeCount> counts;
    QString problem;
    const bool ok = mergeJournals(sources, into, counts, problem);
    for (const MergeCount& count : counts)
        context.out << QDir::toNativeSeparators(count.source) << ": " << count.runsAdded
                    << " runs added, " << count.runsEnded << " runs ended, " << count.answersAdded
                    << " answers added\n";
    if (!ok) {
        context.err << "korvelbase: " << problem << '\n';
        return ExitProblems;
    }
    return ExitClean;
}

} // namespace korvel
