#pragma once

#include "command.h"

namespace korvel {

// korvelbase dump BASE.zip [--json]
int dumpCommand(CommandContext& context);

} // namespace korvel
