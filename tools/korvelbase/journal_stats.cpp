#include "basestore/base_digest.h"
#include "journal/item_analysis.h"
#include "journal/journal_values.h"
#include "journal_arguments.h"

#include <QFile>
#include <QJsonDocument>

namespace korvel {

namespace {

QString figureText(const std::optional<double>& value) {
    return value ? QString::number(*value, 'f', 3) : QStringLiteral("-");
}

QString column(const QString& text, int width) {
    return text.leftJustified(width) + u' ';
}

void printTable(QTextStream& out, const QString& basePath, const QString& kind,
                const ItemAnalysis& analysis) {
    out << "base " << basePath << " (sha256 " << analysis.baseSha256 << ")\n"
        << analysis.runs << " finished " << kind << " run(s)\n\n";
    out << column("TICKET", 6) << column("QUESTION", 8) << column("PRESENTED", 9)
        << column("ANSWERED", 8) << column("RIGHT", 6) << column("FACILITY", 8)
        << column("DISCRIM.", 8) << column("CHOICES 1-5", 20) << "FLAGS\n";
    for (const QuestionStatistics& q : analysis.questions) {
        QStringList choices;
        for (int c : q.choices)
            choices << QString::number(c);
        out << column(QString::number(q.ticket), 6) << column(QString::number(q.question), 8)
            << column(QString::number(q.presented), 9) << column(QString::number(q.answered), 8)
            << column(QString::number(q.right), 6) << column(figureText(q.facility), 8)
            << column(figureText(q.discrimination), 8) << column(choices.join(u' '), 20)
            << q.flags.join(QStringLiteral(", ")) << '\n';
    }
    out << '\n' << column("TICKET", 6) << column("RUNS", 6) << "ALPHA\n";
    for (const TicketStatistics& t : analysis.tickets)
        out << column(QString::number(t.ticket), 6) << column(QString::number(t.runs), 6)
            << figureText(t.alpha) << '\n';
}

} // namespace

int journalStats(CommandContext& context, const JournalArguments& arguments) {
    const QString basePath = arguments.value("--base");
    if (basePath.isEmpty())
        return usageError(context, QStringLiteral("stats needs --base FILE.zip"));
    const QString kindText =
        arguments.has("--kind") ? arguments.value("--kind") : QStringLiteral("exam");
    const std::optional<RecordedRunKind> kind = kindFromWord(kindText);
    if (!kind || *kind == RecordedRunKind::WorkOnErrors)
        return usageError(context, QStringLiteral("--kind is exam or preparation"));
    const QString sha = baseArchiveSha256(basePath);
    if (sha.isEmpty())
        return journalError(context, QStringLiteral("cannot read the base %1").arg(basePath));
    const std::unique_ptr<JournalReader> reader = openJournalForReading(context, arguments);
    if (!reader)
        return ExitProblems;
    QString error;
    const std::optional<ItemAnalysis> analysis =
        analyseItems(reader->database(), sha, *kind, error);
    if (!analysis)
        return journalError(context,
                            QStringLiteral("cannot read %1 (%2)").arg(reader->path(), error));
    if (arguments.has("--json"))
        context.out << QJsonDocument(itemAnalysisJson(*analysis)).toJson(QJsonDocument::Indented);
    else
        printTable(context.out, basePath, kindText, *analysis);
    return ExitClean;
}

} // namespace korvel
