#pragma once

#include "command.h"

namespace korvel {

// korvelbase build SOURCE_DIR -o BASE.zip
int buildCommand(CommandContext& context);

} // namespace korvel
