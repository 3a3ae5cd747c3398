#include "check_command.h"

#include "base_check.h"

namespace korvel {

int checkCommand(CommandContext& context) {
    QStringList arguments = context.arguments;
    QString helpFolder;
    const qsizetype flag = arguments.indexOf(QStringLiteral("--help-dir"));
    if (flag >= 0) {
        if (flag + 1 >= arguments.size())
            return usageError(context, QStringLiteral("--help-dir needs a folder"));
        helpFolder = arguments.takeAt(flag + 1);
        arguments.removeAt(flag);
    }
    if (arguments.size() != 1 || arguments.first().startsWith(u'-'))
        return usageError(context, QStringLiteral("check takes one base archive"));

    context.out.setEncoding(QStringConverter::Utf8);
    const qint64 problems = checkBase(arguments.first(), helpFolder,
                                      [&](const QString& line) { context.out << line << '\n'; });
    if (problems == 0) {
        context.out << arguments.first() << ": no problems found\n";
        return ExitClean;
    }
    context.out << problems << " problem(s) in " << arguments.first() << '\n';
    return ExitProblems;
}

} // namespace korvel
