#pragma once

#include "command.h"

namespace korvel {

// The journal file a journal subcommand works on: --journal FILE, else the
// program's JournalFile setting, else the program's default file.
QString journalFileFor(const QString& option);

// korvelbase journal init-server CONNINFO
int journalInitServer(CommandContext& context, const QString& server);
// korvelbase journal push --server CONNINFO [--journal FILE]
int journalPush(CommandContext& context, const QString& journalPath, const QString& server);
// korvelbase journal status [--journal FILE] [--server CONNINFO]
int journalStatus(CommandContext& context, const QString& journalPath, const QString& server);

} // namespace korvel

namespace korvel {

// korvelbase journal init-server|push|status|merge ...
int journalDeliveryCommand(CommandContext& context);

} // namespace korvel
