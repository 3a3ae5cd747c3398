#pragma once

#include "command.h"

namespace korvel {

// korvelbase journal merge A.sqlite ... --into B.sqlite
int journalMerge(CommandContext& context, const QStringList& sources, const QString& into);

} // namespace korvel
