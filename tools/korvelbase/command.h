#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace korvel {

// Exit codes shared by every subcommand.
enum ExitCode : int {
    ExitClean = 0,    // done, nothing wrong
    ExitProblems = 1, // done, but the base (or the build) had problems
    ExitUsage = 2,    // wrong arguments
    ExitWarnings = 3, // done, but something was left out or changed on the way
};

// What a subcommand is handed: its own arguments (without the subcommand
// name), its usage line for messages, and the two output streams.
struct CommandContext {
    QStringList arguments;
    QString usage;
    QTextStream& out;
    QTextStream& err;
};

using CommandFunction = int (*)(CommandContext& context);

// Prints the message and the usage line to err; gives ExitUsage.
int usageError(CommandContext& context, const QString& message);

} // namespace korvel
