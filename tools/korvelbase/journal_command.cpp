#include "journal_command.h"

#include "journal/journal_location.h"
#include "journal/journal_values.h"
#include "journal_arguments.h"
#include "journal_merge_command.h"
#include "journal_server_command.h"

#include <QSettings>

namespace korvel {

namespace {

struct JournalSubcommand {
    const char* name;
    int words; // positional arguments after the name; -1: one or more
    QStringList valueOptions;
    QStringList flagOptions;
    int (*run)(CommandContext&, const JournalArguments&);
};

const QStringList FilterOptions = {"--examinee", "--base", "--since", "--kind"};
// Read a centre's server instead of a journal file.
const QStringList Server = {"--server"};

const QList<JournalSubcommand>& subcommands() {
    static const QList<JournalSubcommand> table = {
        {"list", 0, FilterOptions + Server, {}, journalList},
        {"show", 1, Server, {}, journalShow},
        {"export", 0, FilterOptions + Server + QStringList{"--csv"}, {"--answers"}, journalExport},
        {"stats", 0, Server + QStringList{"--base", "--kind"}, {"--json"}, journalStats},
        {"report", 1, Server + QStringList{"--out", "--base"}, {}, journalReport},
        {"init-server", 1, {}, {}, journalInitServer},
        {"push", 0, {"--server"}, {}, journalPush},
        {"status", 0, {"--server"}, {}, journalStatus},
        {"merge", -1, {"--into"}, {}, journalMerge},
    };
    return table;
}

} // namespace

int journalError(CommandContext& context, const QString& message) {
    context.err << "korvelbase: " << message << '\n';
    return ExitProblems;
}

std::unique_ptr<JournalReader> openJournalForReading(CommandContext& context,
                                                     const JournalArguments& arguments) {
    QString error;
    if (arguments.has("--server")) {
        std::unique_ptr<JournalReader> reader =
            JournalReader::openServer(arguments.value("--server"), error);
        if (!reader)
            journalError(context, error);
        return reader;
    }
    const QString path = journalFileFor(arguments.value("--journal"));
    std::unique_ptr<JournalReader> reader = JournalReader::open(path, error);
    if (!reader)
        journalError(context, error);
    return reader;
}

bool runFilterFrom(CommandContext& context, const JournalArguments& arguments, RunFilter& filter) {
    filter.examinee = arguments.value("--examinee");
    filter.base = arguments.value("--base");
    if (arguments.has("--kind")) {
        filter.kind = kindFromWord(arguments.value("--kind"));
        if (!filter.kind) {
            usageError(context, QStringLiteral("--kind is preparation, exam or work_on_errors"));
            return false;
        }
    }
    if (arguments.has("--since")) {
        const QString text = arguments.value("--since");
        const QDate day = text.size() == 10 ? QDate::fromString(text, Qt::ISODate) : QDate();
        filter.since = day.isValid() ? day.startOfDay() : QDateTime::fromString(text, Qt::ISODate);
        if (!filter.since.isValid()) {
            usageError(context, QStringLiteral("--since takes a date (2026-12-09) or a date and "
                                               "time (2026-12-09T14:30)"));
            return false;
        }
    }
    return true;
}

std::optional<StoredRun> readRun(CommandContext& context, const JournalReader& reader,
                                 const QString& prefix) {
    QString runId;
    switch (reader.findRun(prefix, runId)) {
    case JournalReader::Lookup::Found: {
        QString error;
        std::optional<StoredRun> run = reader.run(runId, error);
        if (!run)
            journalError(context, QStringLiteral("cannot read run %1 (%2)").arg(runId, error));
        return run;
    }
    case JournalReader::Lookup::NotFound:
        journalError(context, QStringLiteral("no run %1 in %2").arg(prefix, reader.path()));
        break;
    case JournalReader::Lookup::Ambiguous:
        journalError(context, QStringLiteral("%1 is the start of several runs: %2; give more of it")
                                  .arg(prefix, runId));
        break;
    case JournalReader::Lookup::Failed:
        journalError(context, QStringLiteral("cannot read %1 (%2)").arg(reader.path(), runId));
        break;
    }
    return std::nullopt;
}

int journalCommand(CommandContext& context) {
    QStringList words = context.arguments;
    if (words.isEmpty())
        return usageError(context, QStringLiteral("journal needs a subcommand"));
    const QString name = words.takeFirst();
    const auto found = std::find_if(subcommands().begin(), subcommands().end(),
                                    [&](const JournalSubcommand& s) { return name == s.name; });
    if (found == subcommands().end())
        return usageError(context, QStringLiteral("unknown journal subcommand '%1'").arg(name));

    JournalArguments arguments;
    const QStringList valueOptions = found->valueOptions + QStringList{"--journal"};
    for (qsizetype k = 0; k < words.size(); ++k) {
        const QString& word = words.at(k);
        if (valueOptions.contains(word)) {
            if (k + 1 >= words.size())
                return usageError(context, QStringLiteral("%1 needs a value").arg(word));
            arguments.values.insert(word, words.at(++k));
        } else if (found->flagOptions.contains(word)) {
            arguments.flags.insert(word);
        } else if (word.startsWith(QLatin1String("--"))) {
            return usageError(context,
                              QStringLiteral("journal %1 has no option %2").arg(name, word));
        } else {
            arguments.words << word;
        }
    }
    if (found->words < 0 ? arguments.words.isEmpty() : arguments.words.size() != found->words)
        return usageError(
            context, found->words < 0
                         ? QStringLiteral("journal %1 needs the journals to merge").arg(name)
                     : found->words == 0 ? QStringLiteral("journal %1 takes no run").arg(name)
                                         : QStringLiteral("journal %1 takes one run").arg(name));
    context.out.setEncoding(QStringConverter::Utf8);
    context.err.setEncoding(QStringConverter::Utf8);
    return found->run(context, arguments);
}

} // namespace korvel
