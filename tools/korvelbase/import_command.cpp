#include "import_command.h"

#include "base_archive_writer.h"
#include "interchange/aiken_import.h"
#include "interchange/bank_to_base.h"
#include "interchange/csv_import.h"
#include "interchange/gift_import.h"
#include "interchange/moodle_xml_import.h"
#include "interchange/ticket_dealing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace korvel {

namespace {

// Far above any real bank (pictures in base64 included), and a bound on
// what a mistaken file name can make the tool read.
constexpr qint64 MaxBankFile = 512LL * 1024 * 1024;

struct ImportOptions {
    QString format;
    QString input;
    QString output;
    std::optional<int> perTicket;
    BaseDescription description;
    bool named = false; // --name was given
};

// Parses the arguments; an error message when they are wrong.
QString parseOptions(QStringList arguments, ImportOptions& options) {
    QStringList positional;
    bool named = false;
    while (!arguments.isEmpty()) {
        const QString argument = arguments.takeFirst();
        if (!argument.startsWith(QLatin1String("--"))) {
            positional << argument;
            continue;
        }
        if (arguments.isEmpty())
            return QStringLiteral("%1 needs a value").arg(argument);
        const QString value = arguments.takeFirst();
        if (argument == u"--out") {
            options.output = value;
        } else if (argument == u"--questions-per-ticket") {
            bool ok = false;
            const int n = value.toInt(&ok);
            if (!ok || n < 1 || n > 1000)
                return QStringLiteral("--questions-per-ticket takes a number from 1 to 1000");
            options.perTicket = n;
        } else if (argument == u"--name") {
            options.description.name = value;
            named = true;
        } else if (argument == u"--descript") {
            options.description.descript << value;
        } else if (argument == u"--pozdr") {
            options.description.pozdr << value;
        } else if (argument == u"--izdevat") {
            options.description.izdevat << value;
        } else {
            return QStringLiteral("unknown option %1").arg(argument);
        }
    }
    if (positional.size() != 2)
        return QStringLiteral("import takes a format and one input file");
    options.format = positional[0];
    options.input = positional[1];
    if (options.output.isEmpty())
        return QStringLiteral("import needs --out BASE.zip");
    if (!named)
        options.description.name = QFileInfo(options.input).completeBaseName();
    options.named = named;
    return {};
}

// An export names its categories "<base>/<ticket>"; that base's name is the
// best default for the base made from it.
QString sharedTopCategory(const QList<BankQuestion>& questions) {
    QString top;
    for (const BankQuestion& question : questions) {
        if (!question.category.contains(u'/'))
            return {};
        const QString first = question.category.section(u'/', 0, 0);
        if (!top.isEmpty() && first != top)
            return {};
        top = first;
    }
    return top;
}

} // namespace

int importCommand(CommandContext& context) {
    ImportOptions options;
    if (const QString error = parseOptions(context.arguments, options); !error.isEmpty())
        return usageError(context, error);
    static const QStringList formats{"moodle-xml", "gift", "aiken", "csv"};
    if (!formats.contains(options.format))
        return usageError(context, QStringLiteral("unknown format '%1'; one of %2")
                                       .arg(options.format, formats.join(QStringLiteral(", "))));

    QFile file(options.input);
    if (!file.open(QIODevice::ReadOnly)) {
        context.err << "error: cannot read " << options.input << ": " << file.errorString() << '\n';
        return ExitProblems;
    }
    if (file.size() > MaxBankFile) {
        context.err << "error: " << options.input << " is bigger than "
                    << MaxBankFile / (1024 * 1024) << " MiB\n";
        return ExitProblems;
    }
    const QByteArray bytes = file.readAll();
    QuestionBank bank;
    if (options.format == u"moodle-xml")
        bank = importMoodleXml(bytes);
    else if (options.format == u"gift")
        bank = importGift(bytes);
    else if (options.format == u"aiken")
        bank = importAiken(bytes);
    else
        bank = importCsv(bytes, QFileInfo(options.input).absolutePath());

    if (!options.named) {
        if (const QString top = sharedTopCategory(bank.questions); !top.isEmpty())
            options.description.name = top;
    }
    QStringList warnings = bank.warnings;
    const TicketDealing dealing = dealTickets(bank.questions, options.perTicket);
    const qsizetype size = dealing.tickets.isEmpty() ? 0 : dealing.tickets.first().size();
    for (const QString& name : dealing.leftOut)
        warnings << aboutQuestion(
            name, QStringLiteral("does not fill a last ticket of %1; left out").arg(size));
    BaseSource source;
    if (dealing.error.isEmpty()) {
        source = bankToBase(bank, dealing, options.description);
        warnings << source.warnings;
    }
    for (const QString& warning : warnings)
        context.err << "warning: " << warning << '\n';
    QStringList errors = source.errors;
    if (!dealing.error.isEmpty())
        errors << dealing.error;
    if (errors.isEmpty()) {
        try {
            QDir().mkpath(QFileInfo(options.output).absolutePath());
            writeBaseArchive(source, options.output);
        } catch (const ArchiveWriteError& error) {
            errors << QString::fromStdString(error.what());
        }
    }
    if (!errors.isEmpty()) {
        for (const QString& error : errors)
            context.err << "error: " << error << '\n';
        context.err << options.output << " was not written\n";
        return ExitProblems;
    }
    context.out << "Wrote " << options.output << ": " << source.tickets << " tickets of "
                << source.questionsPerTicket << " questions"
                << (dealing.byCategory ? ", one ticket per category" : "");
    if (!warnings.isEmpty())
        context.out << ", " << warnings.size() << " warning(s)";
    context.out << '\n';
    return warnings.isEmpty() ? ExitClean : ExitWarnings;
}

} // namespace korvel
