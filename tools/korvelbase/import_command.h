#pragma once

#include "command.h"

namespace korvel {

int importCommand(CommandContext& context);

} // namespace korvel
