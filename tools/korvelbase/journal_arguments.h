#pragma once

#include "command.h"
#include "journal/journal_reader.h"

#include <QMap>
#include <QSet>
#include <QStringList>
#include <memory>

namespace korvel {

// The arguments of one journal subcommand: its words and its options.
struct JournalArguments {
    QStringList words;
    QMap<QString, QString> values; // "--base" -> "demo.zip"
    QSet<QString> flags;           // "--json"

    QString value(const char* option) const { return values.value(QLatin1String(option)); }
    bool has(const char* option) const {
        return values.contains(QLatin1String(option)) || flags.contains(QLatin1String(option));
    }
};

// The journal named by --journal, else the program's settings' JournalFile,
// else the program's default file; opened for reading. nullptr after the
// message has been printed.
std::unique_ptr<JournalReader> openJournalForReading(CommandContext& context,
                                                     const JournalArguments& arguments);

// --examinee, --base, --since (a date, or a date and time; local unless it
// names its zone), --kind. False after a usage message.
bool runFilterFrom(CommandContext& context, const JournalArguments& arguments, RunFilter& filter);

// The run of a run id or of a unique prefix of one; null after the message.
std::optional<StoredRun> readRun(CommandContext& context, const JournalReader& reader,
                                 const QString& prefix);

// The subcommands, each handed its parsed arguments.
int journalList(CommandContext& context, const JournalArguments& arguments);
int journalShow(CommandContext& context, const JournalArguments& arguments);
int journalExport(CommandContext& context, const JournalArguments& arguments);
int journalStats(CommandContext& context, const JournalArguments& arguments);
int journalReport(CommandContext& context, const JournalArguments& arguments);

// "error: ..." on err; gives ExitProblems.
int journalError(CommandContext& context, const QString& message);

} // namespace korvel
