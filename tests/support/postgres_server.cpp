#include "tests/support/postgres_server.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTcpServer>
#include <QThread>
#include <atomic>

#ifdef Q_OS_UNIX
#include <csignal>
#include <pwd.h>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace korvel {

namespace {

const QString Binaries = QStringLiteral("/usr/lib/postgresql/15/bin");
const char* const ServerUser = "nobody";

bool asRoot() {
#ifdef Q_OS_UNIX
    return ::geteuid() == 0;
#else
    return false;
#endif
}

int freePort() {
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

bool giveToServerUser(const QString& path) {
#ifdef Q_OS_UNIX
    if (!asRoot())
        return true;
    const passwd* user = ::getpwnam(ServerUser);
    return user && ::chown(QFile::encodeName(path).constData(), user->pw_uid, user->pw_gid) == 0;
#else
    Q_UNUSED(path);
    return true;
#endif
}

QString connectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("postgres-test-admin-%1").arg(++counter);
}

} // namespace

QString PostgresServer::unavailable() {
    for (const char* program : {"initdb", "pg_ctl", "postgres"})
        if (!QFileInfo(Binaries + u'/' + QLatin1String(program)).isExecutable())
            return QStringLiteral("no PostgreSQL 15 server programs in %1 (Debian package "
                                  "postgresql-15)")
                .arg(Binaries);
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        return QStringLiteral("no QPSQL driver (Debian package libqt6sql6-psql)");
    return {};
}

PostgresServer::PostgresServer() {
    // The temporary folder is root's and closed to others: open it for
    // traversal and give the server's user a folder inside.
    QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                           QFile::ExeGroup | QFile::ExeOther);
    home_ = dir_.filePath(QStringLiteral("pg"));
    QDir().mkpath(home_);
    giveToServerUser(home_);
}

PostgresServer::~PostgresServer() {
    stop();
}

bool PostgresServer::run(const QStringList& command, QString& output, int timeoutMs) const {
    QStringList arguments = command;
    QString program = Binaries + u'/' + arguments.takeFirst();
    if (asRoot()) {
        arguments = QStringList{QStringLiteral("-u"), QLatin1String(ServerUser),
                                QStringLiteral("--"), program} +
                    arguments;
        program = QStringLiteral("runuser");
    }
    QProcess process;
    process.setWorkingDirectory(home_);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool finished = process.waitForFinished(timeoutMs);
    output = QString::fromLocal8Bit(process.readAll());
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool PostgresServer::initialise(QString& problem, bool durable) {
    const QString passwordFile = home_ + QStringLiteral("/password");
    QFile file(passwordFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(adminPassword().toUtf8()) < 0)
        return false;
    file.close();
    giveToServerUser(passwordFile);
    QString output;
    if (!run({QStringLiteral("initdb"), QStringLiteral("-D"), home_ + QStringLiteral("/data"),
              QStringLiteral("-U"), QStringLiteral("korvel_admin"),
              QStringLiteral("--pwfile=") + passwordFile, QStringLiteral("--auth-local=trust"),
              QStringLiteral("--auth-host=scram-sha-256"), QStringLiteral("--no-locale"),
              QStringLiteral("-E"), QStringLiteral("UTF8"), QStringLiteral("--no-sync")},
             output)) {
        problem = QStringLiteral("initdb failed: ") + output;
        return false;
    }
    QFile config(home_ + QStringLiteral("/data/postgresql.conf"));
    if (!config.open(QIODevice::Append | QIODevice::Text)) {
        problem = QStringLiteral("cannot write postgresql.conf");
        return false;
    }
    config.write(QStringLiteral("\nlisten_addresses = '127.0.0.1'\nunix_socket_directories = ''\n"
                                "max_connections = 60\nfsync = %1\nfull_page_writes = %1\n")
                     .arg(durable ? QStringLiteral("on") : QStringLiteral("off"))
                     .toUtf8());
    initialised_ = true;
    return true;
}

bool PostgresServer::start(QString& problem, bool durable) {
    if (running_)
        return true;
    if (!initialised_ && !initialise(problem, durable))
        return false;
    if (port_ == 0)
        port_ = freePort();
    QString output;
    if (!run({QStringLiteral("pg_ctl"), QStringLiteral("-D"), home_ + QStringLiteral("/data"),
              QStringLiteral("-l"), home_ + QStringLiteral("/log"), QStringLiteral("-w"),
              QStringLiteral("-t"), QStringLiteral("60"), QStringLiteral("-o"),
              QStringLiteral("-p %1").arg(port_), QStringLiteral("start")},
             output)) {
        problem = QStringLiteral("pg_ctl start failed: %1\n%2").arg(output, log());
        return false;
    }
    running_ = true;
    if (!databaseMade_ && !admin(QStringLiteral("CREATE DATABASE korvel"), problem))
        return false;
    databaseMade_ = true;
    return true;
}

bool PostgresServer::stop() {
    if (!running_)
        return true;
    QString output;
    running_ = false;
    return run({QStringLiteral("pg_ctl"), QStringLiteral("-D"), home_ + QStringLiteral("/data"),
                QStringLiteral("-m"), QStringLiteral("fast"), QStringLiteral("-w"),
                QStringLiteral("stop")},
               output);
}

void PostgresServer::kill() {
#ifdef Q_OS_UNIX
    QFile pidFile(home_ + QStringLiteral("/data/postmaster.pid"));
    if (!pidFile.open(QIODevice::ReadOnly))
        return;
    const pid_t postmaster = pid_t(pidFile.readLine().trimmed().toLong());
    pidFile.close();
    if (postmaster <= 0)
        return;
    // Its children first found, then all killed together, so none is left
    // holding the shared memory that a new start would refuse.
    QList<pid_t> victims{postmaster};
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool isPid = false;
        const pid_t pid = pid_t(entry.toLong(&isPid));
        if (!isPid)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && pid_t(fields[1].toLong()) == postmaster)
            victims << pid;
    }
    for (pid_t pid : victims)
        ::kill(pid, SIGKILL);
    for (int k = 0; k < 500; ++k) {
        bool alive = false;
        for (pid_t pid : victims)
            alive = alive || (::kill(pid, 0) == 0 &&
                              QFileInfo::exists(QStringLiteral("/proc/%1/exe").arg(pid)));
        if (!alive)
            break;
        QThread::msleep(10);
    }
    // Where nothing reaps orphans (a container's first process), the dead
    // postmaster stays a zombie whose pid the next start would take for a
    // running server: the lock file goes with the server.
    QFile::remove(home_ + QStringLiteral("/data/postmaster.pid"));
    running_ = false;
#endif
}

QString PostgresServer::connection(const QString& user, const QString& password) const {
    QString quoted = password;
    quoted.replace(u'\\', QStringLiteral("\\\\")).replace(u'\'', QStringLiteral("\\'"));
    return QStringLiteral("host=127.0.0.1 port=%1 dbname=%2 user=%3 password='%4'")
        .arg(port_)
        .arg(database(), user, quoted);
}

QString PostgresServer::adminConnection() const {
    return connection(QStringLiteral("korvel_admin"), adminPassword());
}

bool PostgresServer::admin(const QString& statements, QString& problem) const {
    const QString name = connectionName();
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        const bool toDatabase = !statements.startsWith(QLatin1String("CREATE DATABASE"));
        db.setConnectOptions(
            QStringLiteral("host=127.0.0.1 port=%1 dbname=%2 user=korvel_admin password='%3'")
                .arg(port_)
                .arg(toDatabase ? database() : QStringLiteral("postgres"), adminPassword()));
        ok = db.open();
        if (ok) {
            QSqlQuery query(db);
            ok = query.exec(statements);
            if (!ok)
                problem = query.lastError().databaseText();
        } else {
            problem = db.lastError().databaseText();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

qint64 PostgresServer::count(const QString& statement) const {
    const QString name = connectionName();
    qint64 value = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setConnectOptions(adminConnection());
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(statement) && query.next())
                value = query.value(0).toLongLong();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return value;
}

QString PostgresServer::log() const {
    QFile file(home_ + QStringLiteral("/log"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
}

} // namespace korvel
