#pragma once

#include <QString>
#include <QTemporaryDir>

namespace korvel {

// A PostgreSQL 15 server of a test's own: a new cluster in a temporary
// folder, on a free port of 127.0.0.1, with password logins over TCP only
// (no socket in a shared folder). PostgreSQL refuses to run as root, so under
// root the cluster belongs to "nobody" and its programs run through runuser.
// Stopped (fast) when destroyed.
class PostgresServer {
public:
    // Why the tests cannot have a server here (the binaries are missing);
    // empty when they can.
    static QString unavailable();

    PostgresServer();
    ~PostgresServer();
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    // The first start makes the cluster, the database "korvel" and its
    // superuser "korvel_admin". With `durable` off the server skips fsync:
    // what it committed survives its processes being killed, not the
    // machine losing power.
    bool start(QString& problem, bool durable = false);
    bool stop();
    // SIGKILL to the postmaster and every process it started.
    void kill();

    int port() const { return port_; }
    static QString database() { return QStringLiteral("korvel"); }
    static QString adminPassword() { return QStringLiteral("admin-secret"); }
    // A libpq connection string for the user (the password written in, as
    // only tests do), or for the superuser.
    QString connection(const QString& user, const QString& password) const;
    QString adminConnection() const;
    // Runs statements as the superuser; false with the server's words.
    bool admin(const QString& statements, QString& problem) const;
    // One number from a query run as the superuser; -1 on failure.
    qint64 count(const QString& query) const;
    QString log() const;

private:
    bool run(const QStringList& command, QString& output, int timeoutMs = 120000) const;
    bool initialise(QString& problem, bool durable);

    QTemporaryDir dir_;
    QString home_; // owned by the server's user: the cluster and its log
    int port_ = 0;
    bool initialised_ = false;
    bool databaseMade_ = false;
    bool running_ = false;
};

} // namespace korvel
