#include "dump_command.h"

#include "base_dump.h"

namespace korvel {

int dumpCommand(CommandContext& context) {
    QStringList arguments = context.arguments;
    const bool json = arguments.removeAll(QStringLiteral("--json")) > 0;
    if (arguments.size() != 1 || arguments.first().startsWith(u'-'))
        return usageError(context, QStringLiteral("dump takes one base archive"));
    context.out.setEncoding(QStringConverter::Utf8);
    bool clean = false;
    if (json) {
        JsonDumpWriter writer(context.out);
        clean = dumpBase(arguments.first(), writer);
    } else {
        TextDumpWriter writer(context.out);
        clean = dumpBase(arguments.first(), writer);
    }
    return clean ? ExitClean : ExitProblems;
}

} // namespace korvel
