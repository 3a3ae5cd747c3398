#pragma once

#include "command.h"

namespace korvel {

// korvelbase journal list|show|export|stats|report ... [--journal FILE]
int journalCommand(CommandContext& context);

} // namespace korvel
