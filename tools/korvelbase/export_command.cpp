#include "export_command.h"

#include "interchange/base_to_bank.h"
#include "interchange/gift_export.h"
#include "interchange/moodle_xml_export.h"

#include <QSaveFile>

namespace korvel {

int exportCommand(CommandContext& context) {
    QStringList arguments = context.arguments;
    const qsizetype flag = arguments.indexOf(QStringLiteral("--out"));
    if (flag < 0 || flag + 1 >= arguments.size())
        return usageError(context, QStringLiteral("export needs --out FILE"));
    const QString output = arguments.takeAt(flag + 1);
    arguments.removeAt(flag);
    if (arguments.size() != 2 || arguments[1].startsWith(u'-'))
        return usageError(context, QStringLiteral("export takes a format and one base"));
    const QString format = arguments[0];
    if (format != u"moodle-xml" && format != u"gift")
        return usageError(
            context, QStringLiteral("unknown format '%1'; one of moodle-xml, gift").arg(format));

    const BaseAsBank base = readBaseAsBank(arguments[1]);
    if (!base.error.isEmpty()) {
        context.err << "error: " << arguments[1] << ": " << base.error << '\n';
        return ExitProblems;
    }
    for (const QString& warning : base.bank.warnings)
        context.err << "warning: " << warning << '\n';
    const QByteArray bytes =
        format == u"gift" ? exportGift(base.bank.questions) : exportMoodleXml(base.bank.questions);
    // Written whole or not at all, so an existing file is never left half-replaced.
    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        context.err << "error: cannot write " << output << ": " << file.errorString() << '\n';
        return ExitProblems;
    }
    context.out << "Wrote " << output << ": " << base.bank.questions.size() << " questions";
    if (!base.bank.warnings.isEmpty())
        context.out << ", " << base.bank.warnings.size() << " warning(s)";
    context.out << '\n';
    return base.bank.warnings.isEmpty() ? ExitClean : ExitWarnings;
}

} // namespace korvel
