#include "basestore/base_archive.h"
#include "basestore/base_digest.h"
#include "journal/past_report.h"
#include "journal_arguments.h"
#include "report/report_composition.h"
#include "report/report_saving.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextDocument>

namespace korvel {

namespace {

// The base the run was sat on: --base, else its recorded file name in the
// current folder or in Base/ beside this tool (the program's layout).
QString findBase(const JournalArguments& arguments, const QString& baseFile) {
    if (arguments.has("--base"))
        return arguments.value("--base");
    const QStringList candidates = {baseFile, QCoreApplication::applicationDirPath() +
                                                  QStringLiteral("/Base/") + baseFile};
    for (const QString& candidate : candidates)
        if (QFileInfo(candidate).isFile())
            return candidate;
    return {};
}

} // namespace

int journalReport(CommandContext& context, const JournalArguments& arguments) {
    const QString target = arguments.value("--out");
    if (target.isEmpty())
        return usageError(context, QStringLiteral("report needs --out FILE.rtf"));
    const std::unique_ptr<JournalReader> reader = openJournalForReading(context, arguments);
    if (!reader)
        return ExitProblems;
    const std::optional<StoredRun> run = readRun(context, *reader, arguments.words.first());
    if (!run)
        return ExitProblems;
    const QString& runId = run->start.runId;
    if (!run->end)
        return journalError(
            context, QStringLiteral("run %1 has not ended: it has no report yet").arg(runId));
    const QString basePath = findBase(arguments, run->start.baseFile);
    if (basePath.isEmpty())
        return journalError(context, QStringLiteral("the base %1 of run %2 is not at hand; name it "
                                                    "with --base FILE.zip")
                                         .arg(run->start.baseFile, runId));
    const QString sha = baseArchiveSha256(basePath);
    if (sha.isEmpty())
        return journalError(context, QStringLiteral("cannot read the base %1").arg(basePath));
    if (sha != run->start.baseSha256)
        return journalError(context, QStringLiteral("%1 is not the base run %2 was sat on: its "
                                                    "SHA-256 is %3, the run's base had %4")
                                         .arg(basePath, runId, sha, run->start.baseSha256));

    Archiver archiver;
    ReportInput input = pastReportInput(*run, basePath, archiver);
    int unreadable = 0;
    ReportHooks hooks;
    hooks.fileIoError = [&] { ++unreadable; };

    QTextDocument document;
    try {
        composeReport(document, input, hooks);
    } catch (const ArchiveError& failure) {
        return journalError(context, QStringLiteral("cannot read a question of %1: %2")
                                         .arg(basePath, QString::fromLocal8Bit(failure.what())));
    }
    const QString saveError = saveReport(document, target);
    if (!saveError.isEmpty())
        return journalError(context, QStringLiteral("cannot write %1: %2").arg(target, saveError));
    if (unreadable > 0)
        return journalError(context, QStringLiteral("%1 written, but %2 question record(s) of %3 "
                                                    "could not be read")
                                         .arg(target)
                                         .arg(unreadable)
                                         .arg(basePath));
    return ExitClean;
}

} // namespace korvel
