#include "command.h"

namespace korvel {

int usageError(CommandContext& context, const QString& message) {
    context.err << "korvelbase: " << message << "\nUsage: " << context.usage << '\n';
    return ExitUsage;
}

} // namespace korvel
