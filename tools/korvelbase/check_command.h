#pragma once

#include "command.h"

namespace korvel {

// korvelbase check BASE.zip [--help-dir DIR]
int checkCommand(CommandContext& context);

} // namespace korvel
