#include "build_command.h"

#include "base_archive_writer.h"
#include "base_source.h"

#include <QDir>
#include <QFileInfo>

namespace korvel {

int buildCommand(CommandContext& context) {
    QStringList arguments = context.arguments;
    const qsizetype flag = arguments.indexOf(QStringLiteral("-o"));
    if (flag < 0 || flag + 1 >= arguments.size())
        return usageError(context, QStringLiteral("build needs -o BASE.zip"));
    const QString output = arguments.takeAt(flag + 1);
    arguments.removeAt(flag);
    if (arguments.size() != 1 || arguments.first().startsWith(u'-'))
        return usageError(context, QStringLiteral("build takes one source folder"));

    const BaseSource source = loadBaseSource(arguments.first());
    for (const QString& warning : source.warnings)
        context.err << "warning: " << warning << '\n';
    if (!source.errors.isEmpty()) {
        for (const QString& error : source.errors)
            context.err << "error: " << error << '\n';
        context.err << source.errors.size() << " error(s); " << output << " was not written\n";
        return ExitProblems;
    }
    try {
        QDir().mkpath(QFileInfo(output).absolutePath());
        writeBaseArchive(source, output);
    } catch (const ArchiveWriteError& error) {
        context.err << "error: " << error.what() << '\n';
        return ExitProblems;
    }
    context.out << "Wrote " << output << ": " << source.tickets << " tickets of "
                << source.questionsPerTicket << " questions\n";
    return ExitClean;
}

} // namespace korvel
