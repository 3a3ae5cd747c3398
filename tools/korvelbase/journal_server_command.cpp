#include "journal_server_command.h"

#include "journal/delivery_state.h"
#include "journal/journal_delivery.h"
#include "journal/journal_location.h"
#include "journal/journal_schema.h"
#include "journal/named_connection.h"
#include "journal/server_connection.h"
#include "journal/server_schema.h"
#include "journal_arguments.h"
#include "journal_merge_command.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>

namespace korvel {

namespace {

// Runs per server transaction when a whole journal is pushed.
constexpr int PushBatchRuns = 200;

int problem(CommandContext& context, const QString& message) {
    context.err << "korvelbase: " << message << '\n';
    return ExitProblems;
}

QString timeText(const QDateTime& time) {
    return time.isValid() ? time.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss 'UTC'"))
                          : QStringLiteral("never");
}

} // namespace

QString journalFileFor(const QString& option) {
    if (!option.isEmpty())
        return option;
    const QSettings settings(QSettings::NativeFormat, QSettings::UserScope,
                             QStringLiteral("ZamtorSoft"), QStringLiteral("KorvelTest"));
    const QString configured = settings.value(QStringLiteral("JournalFile")).toString();
    return configured.isEmpty() ? defaultJournalPath() : configured;
}

namespace {

int initServer(CommandContext& context, const QString& server) {
    const ServerConnection connection = parseServerConnection(server);
    NamedConnection session(QStringLiteral("QPSQL"), QStringLiteral("korvelbase-server"));
    QString why;
    if (!openServer(session.db(), connection, why))
        return problem(context, why);
    if (!initServerSchema(session.db(), why))
        return problem(context, QStringLiteral("the server %1: %2").arg(connection.shown(), why));
    context.out << "The journal on " << connection.shown() << " is at schema version "
                << ServerSchemaVersion << "; the roles " << StationRole << " (adds rows) and "
                << ViewerRole << " (reads) are ready.\n";
    return ExitClean;
}

int push(CommandContext& context, const QString& journalPath, const QString& server) {
    JournalDelivery delivery(journalPath, server);
    DeliveryProgress progress;
    const bool ok = delivery.deliverAll(PushBatchRuns, progress);
    if (progress.runs > 0 || ok)
        context.out << "Delivered " << progress.runs << " runs (" << progress.answers
                    << " answers) from " << QDir::toNativeSeparators(journalPath) << ".\n";
    if (!ok)
        return problem(context, delivery.problem());
    return ExitClean;
}

int status(CommandContext& context, const QString& journalPath, const QString& server) {
    const QString shown = QDir::toNativeSeparators(journalPath);
    if (!QFileInfo(journalPath).isFile())
        return problem(context, QStringLiteral("there is no journal file %1").arg(shown));
    const QString name = QStringLiteral("korvelbase-status");
    DeliveryState state;
    QString why;
    {
        NamedConnection local(QStringLiteral("QSQLITE"), name);
        QSqlDatabase& db = local.db();
        db.setDatabaseName(journalPath);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        QSqlError error;
        if (!db.open()) {
            why = db.lastError().databaseText();
        } else {
            const SchemaCheck schema = checkSchemaForReading(db, error);
            if (schema.state == SchemaState::Newer)
                why = QStringLiteral("it was written by a newer version of the program");
            else if (schema.state == SchemaState::Foreign)
                why = QStringLiteral("it is not a results journal");
            else if (schema.state == SchemaState::Failed ||
                     !readDeliveryState(db, schema.version, state, error))
                why = error.databaseText();
        }
    }
    if (!why.isEmpty())
        return problem(context, QStringLiteral("cannot read %1: %2").arg(shown, why));

    context.out << "Journal: " << shown << '\n'
                << "Runs waiting: " << state.runsWaiting << " (" << state.runsNotOnServer
                << " not yet on the server)\n"
                << "Answers waiting: " << state.answersWaiting << '\n';
    if (!state.server.isEmpty())
        context.out << "Server: " << state.server << '\n';
    context.out << "Last delivery: " << timeText(state.lastDelivery) << '\n';
    if (!state.lastError.isEmpty())
        context.out << "Last error: " << timeText(state.lastErrorAt) << ": " << state.lastError
                    << '\n';
    int code = state.lastError.isEmpty() ? ExitClean : ExitProblems;
    if (!server.isEmpty()) {
        // Asked to look now: the same checks the sender makes.
        const ServerConnection connection = parseServerConnection(server);
        NamedConnection session(QStringLiteral("QPSQL"), QStringLiteral("korvelbase-server"));
        if (openServer(session.db(), connection, why) && checkServerSchema(session.db(), why)) {
            context.out << "Server now: " << connection.shown() << " is reachable and holds a "
                        << "journal of schema version " << ServerSchemaVersion << ".\n";
        } else {
            context.out << "Server now: " << why << '\n';
            code = ExitProblems;
        }
    }
    return code;
}

} // namespace

int journalInitServer(CommandContext& context, const JournalArguments& arguments) {
    return initServer(context, arguments.words.first());
}

int journalPush(CommandContext& context, const JournalArguments& arguments) {
    if (!arguments.has("--server"))
        return usageError(context, QStringLiteral("journal push needs --server CONNINFO"));
    return push(context, journalFileFor(arguments.value("--journal")), arguments.value("--server"));
}

int journalStatus(CommandContext& context, const JournalArguments& arguments) {
    return status(context, journalFileFor(arguments.value("--journal")),
                  arguments.value("--server"));
}

} // namespace korvel
