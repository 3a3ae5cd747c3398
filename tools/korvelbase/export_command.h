#pragma once

#include "command.h"

namespace korvel {

int exportCommand(CommandContext& context);

} // namespace korvel
