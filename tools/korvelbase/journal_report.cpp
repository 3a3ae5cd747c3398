#include "basestore/base_archive.h"
#include "engine/grading.h"
#include "journal_arguments.h"
#include "report/report_composition.h"
#include "report/report_saving.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTextDocument>

namespace korvel {

namespace {

using Cells = QMap<std::pair<int, int>, QByteArray>;

QByteArray cellOf(const QList<int>& answers) {
    QByteArray cell(5, '\0');
    for (int k : answers)
        if (k >= 1 && k <= 5)
            cell[k - 1] = 1;
    return cell;
}

QString sha256Of(const QString& path) {
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return {};
    return QString::fromLatin1(hash.result().toHex());
}

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
    const QString runId = resolveRun(context, *reader, arguments.words.first());
    if (runId.isEmpty())
        return ExitProblems;
    QString error;
    const std::optional<StoredRun> run = reader->run(runId, error);
    if (!run)
        return journalError(context, QStringLiteral("cannot read run %1 (%2)").arg(runId, error));
    if (!run->end)
        return journalError(
            context, QStringLiteral("run %1 has not ended: it has no report yet").arg(runId));
    const QString basePath = findBase(arguments, run->start.baseFile);
    if (basePath.isEmpty())
        return journalError(context, QStringLiteral("the base %1 of run %2 is not at hand; name it "
                                                    "with --base FILE.zip")
                                         .arg(run->start.baseFile, runId));
    const QString sha = sha256Of(basePath);
    if (sha.isEmpty())
        return journalError(context, QStringLiteral("cannot read the base %1").arg(basePath));
    if (sha != run->start.baseSha256)
        return journalError(context, QStringLiteral("%1 is not the base run %2 was sat on: its "
                                                    "SHA-256 is %3, the run's base had %4")
                                         .arg(basePath, runId, sha, run->start.baseSha256));

    // The cells the engine held at the end: the right answers of every
    // question presented, the last choice of every question answered.
    Cells chosen;
    Cells right;
    for (const StoredPresentation& p : run->presented)
        right.insert({p.ticket, p.question}, cellOf(p.right));
    for (const StoredAnswer& a : run->answers) {
        chosen.insert({a.ticket, a.question}, cellOf(a.chosen));
        right.insert({a.ticket, a.question}, cellOf(a.right));
    }
    const RunEndRecord& end = *run->end;
    ReportInput input;
    input.examineeName = run->start.examinee;
    input.chosenTickets = run->start.tickets;
    input.questionsPerTicket = run->start.questionsPerTicket;
    input.remain = end.unanswered;
    input.green = end.rightCount;
    input.red = end.wrongCount;
    input.analizStr = end.resultText;
    input.percent = end.percent;
    input.good = end.grade && isGoodGrade(*end.grade);
    input.chosenCell = [&](int t, int q) { return chosen.value({t, q}, QByteArray(5, '\0')); };
    input.rightCell = [&](int t, int q) { return right.value({t, q}, QByteArray(5, '\0')); };
    input.basePath = basePath;
    Archiver archiver;
    input.archiver = &archiver;
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
