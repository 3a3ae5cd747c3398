#pragma once

#include "command.h"

namespace korvel {

struct JournalArguments;

// The journal file a journal subcommand works on: --journal FILE, else the
// program's JournalFile setting, else the program's default file.
QString journalFileFor(const QString& option);

// korvelbase journal init-server CONNINFO
int journalInitServer(CommandContext& context, const JournalArguments& arguments);
// korvelbase journal push --server CONNINFO [--journal FILE]
int journalPush(CommandContext& context, const JournalArguments& arguments);
// korvelbase journal status [--journal FILE] [--server CONNINFO]
int journalStatus(CommandContext& context, const JournalArguments& arguments);

} // namespace korvel
