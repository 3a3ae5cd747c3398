#include "build_command.h"
#include "check_command.h"
#include "command.h"
#include "dump_command.h"
#include "journal_command.h"
#include "export_command.h"
#include "import_command.h"
#include "rtf_command.h"

#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>
#include <memory>

namespace {

struct Subcommand {
    const char* name;
    const char* usage; // arguments after the subcommand name
    const char* summary;
    korvel::CommandFunction run;
    bool laysOutText = false; // needs a GUI application (offscreen, never a display)
};

// One row per subcommand. A new subcommand brings its own <name>_command.{h,cpp},
// includes its header above and adds its row here.
constexpr Subcommand Subcommands[] = {
    {"build", "SOURCE_DIR -o BASE.zip", "build a base archive from a source folder",
     korvel::buildCommand},
    {"check", "BASE.zip [--help-dir DIR]", "list everything the program would trip over",
     korvel::checkCommand},
    {"dump", "BASE.zip [--json]", "show the base as the program reads it", korvel::dumpCommand},
    {"rtf", "FILE [--to text|html|rtf]", "show a question text as text, HTML or RTF",
     korvel::rtfCommand, true},
    {"journal",
     "list|show RUN|export --csv FILE [--answers]|stats --base FILE.zip [--kind exam|preparation] "
     "[--json]|report RUN --out FILE.rtf [--base FILE.zip]; --journal FILE or --server CONNINFO"
     " | init-server CONNINFO|push --server CONNINFO|status [--server CONNINFO]|merge A.sqlite ..."
     " --into B.sqlite",
     "read the results journal: runs, answers, CSV, item analysis, past reports; deliver it to a "
     "centre's server, merge journals",
     korvel::journalCommand, true},
    {"import", "FORMAT INPUT --out BASE.zip [--questions-per-ticket N] [--name NAME] ...",
     "make a base from a question bank (moodle-xml, gift, aiken, csv)", korvel::importCommand,
     true},
    {"export", "FORMAT BASE.zip --out FILE", "write a base as a question bank (moodle-xml, gift)",
     korvel::exportCommand, true},
};

QtMessageHandler defaultMessageHandler = nullptr;

// Starting the offscreen platform looks for a runtime folder and the like,
// which a command-line tool never uses: only its errors reach the terminal.
void startUpMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        defaultMessageHandler(type, context, message);
}

void printOverview(QTextStream& stream) {
    stream << "Usage: korvelbase COMMAND ARGUMENTS...\n\nCommands:\n";
    for (const Subcommand& command : Subcommands) {
        stream << "  " << command.name << ' ' << command.usage << "\n      " << command.summary
               << '\n';
    }
}

} // namespace

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int k = 1; k < argc; ++k)
        arguments << QString::fromLocal8Bit(argv[k]);
    QTextStream out(stdout);
    QTextStream err(stderr);

    if (arguments.isEmpty()) {
        printOverview(err);
        return korvel::ExitUsage;
    }
    const QString name = arguments.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") ||
        name == QLatin1String("help")) {
        printOverview(out);
        return korvel::ExitClean;
    }
    for (const Subcommand& command : Subcommands) {
        if (name == QLatin1String(command.name)) {
            if (command.laysOutText && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            std::unique_ptr<QCoreApplication> application;
            if (command.laysOutText) {
                defaultMessageHandler = qInstallMessageHandler(startUpMessage);
                application = std::make_unique<QGuiApplication>(argc, argv);
                qInstallMessageHandler(defaultMessageHandler);
            } else {
                application = std::make_unique<QCoreApplication>(argc, argv);
            }
            korvel::CommandContext context{
                arguments, QStringLiteral("korvelbase %1 %2").arg(command.name, command.usage), out,
                err};
            const int code = command.run(context);
            out.flush();
            err.flush();
            return code;
        }
    }
    err << "korvelbase: unknown command '" << name << "'\n\n";
    printOverview(err);
    return korvel::ExitUsage;
}
