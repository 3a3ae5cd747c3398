#include "journal/journal_csv.h"
#include "journal_arguments.h"

#include <QFile>
#include <QSaveFile>

namespace korvel {

int journalExport(CommandContext& context, const JournalArguments& arguments) {
    const QString target = arguments.value("--csv");
    if (target.isEmpty())
        return usageError(context, QStringLiteral("export needs --csv FILE (- for the output)"));
    RunFilter filter;
    if (!runFilterFrom(context, arguments, filter))
        return ExitUsage;
    const std::unique_ptr<JournalReader> reader = openJournalForReading(context, arguments);
    if (!reader)
        return ExitProblems;
    const CsvRows rows = arguments.has("--answers") ? CsvRows::Answers : CsvRows::Runs;
    QString error;
    if (target == QLatin1String("-")) {
        context.out.flush();
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly) || !writeCsv(*reader, filter, rows, out, error))
            return journalError(context, QStringLiteral("export failed: %1").arg(error));
        return ExitClean;
    }
    // Through a save file: a failed export leaves an earlier file as it was.
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return journalError(context,
                            QStringLiteral("cannot write %1: %2").arg(target, out.errorString()));
    if (!writeCsv(*reader, filter, rows, out, error))
        return journalError(context, QStringLiteral("export to %1 failed: %2").arg(target, error));
    if (!out.commit())
        return journalError(context,
                            QStringLiteral("cannot write %1: %2").arg(target, out.errorString()));
    return ExitClean;
}

} // namespace korvel
