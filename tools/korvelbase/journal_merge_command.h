#pragma once

#include "command.h"

namespace korvel {

struct JournalArguments;

// korvelbase journal merge A.sqlite ... --into B.sqlite
int journalMerge(CommandContext& context, const JournalArguments& arguments);

} // namespace korvel
