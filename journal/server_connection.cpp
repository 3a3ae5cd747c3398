#include "journal/server_connection.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QStringList>

namespace korvel {

namespace {

// Seconds; libpq waits this long for each address of the host.
constexpr int ConnectTimeoutSeconds = 5;

QString quoted(const QString& value) {
    QString text = value;
    text.replace(u'\\', QStringLiteral("\\\\")).replace(u'\'', QStringLiteral("\\'"));
    return u'\'' + text + u'\'';
}

bool isKeywordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

} // namespace

ServerConnection parseServerConnection(const QString& text) {
    ServerConnection connection;
    const auto fail = [&](const QString& problem) {
        connection.parameters.clear();
        connection.problem = problem;
        return connection;
    };
    if (text.contains(QStringLiteral("://")))
        return fail(QStringLiteral("write the server as keyword=value pairs "
                                   "(host=... dbname=... user=...), not as an address"));
    qsizetype i = 0;
    const qsizetype n = text.size();
    const auto skipSpace = [&] {
        while (i < n && text[i].isSpace())
            ++i;
    };
    for (skipSpace(); i < n; skipSpace()) {
        const qsizetype start = i;
        while (i < n && isKeywordChar(text[i]))
            ++i;
        const QString keyword = text.mid(start, i - start);
        if (keyword.isEmpty())
            return fail(QStringLiteral("unexpected \"%1\" in the server connection").arg(text[i]));
        skipSpace();
        if (i >= n || text[i] != u'=')
            return fail(
                QStringLiteral("missing \"=\" after \"%1\" in the server connection").arg(keyword));
        ++i;
        skipSpace();
        QString value;
        if (i < n && text[i] == u'\'') {
            for (++i;; ++i) {
                if (i >= n)
                    return fail(QStringLiteral("unterminated quoted value of \"%1\" in the "
                                               "server connection")
                                    .arg(keyword));
                if (text[i] == u'\'')
                    break;
                if (text[i] == u'\\' && i + 1 < n)
                    ++i;
                value += text[i];
            }
            ++i;
        } else {
            while (i < n && !text[i].isSpace()) {
                if (text[i] == u'\\' && i + 1 < n)
                    ++i;
                value += text[i++];
            }
        }
        // The driver turns every ';' of its options into a space.
        if (value.contains(u';'))
            return fail(QStringLiteral("the value of \"%1\" in the server connection holds a "
                                       "\";\", which the database driver cannot pass on")
                            .arg(keyword));
        connection.parameters.append({keyword, value});
    }
    if (connection.parameters.isEmpty())
        return fail(QStringLiteral("the server connection is empty"));
    return connection;
}

QString ServerConnection::shown() const {
    QStringList parts;
    for (const auto& [keyword, value] : parameters)
        if (keyword != QLatin1String("password"))
            parts << keyword + u'=' +
                         (value.isEmpty() || value.contains(u' ') || value.contains(u'\'') ||
                                  value.contains(u'\\')
                              ? quoted(value)
                              : value);
    return parts.join(u' ');
}

QString ServerConnection::driverOptions() const {
    QStringList parts;
    bool timeout = false;
    for (const auto& [keyword, value] : parameters) {
        parts << keyword + u'=' + quoted(value);
        timeout = timeout || keyword == QLatin1String("connect_timeout");
    }
    if (!timeout)
        parts << QStringLiteral("connect_timeout=%1").arg(ConnectTimeoutSeconds);
    return parts.join(u' ');
}

bool openServer(QSqlDatabase& db, const ServerConnection& connection, QString& problem) {
    if (!connection.valid()) {
        problem = connection.problem;
        return false;
    }
    if (!db.isValid()) {
        problem = QStringLiteral("no PostgreSQL driver for Qt (QPSQL)");
        return false;
    }
    db.setConnectOptions(connection.driverOptions());
    if (db.open())
        return true;
    problem = QStringLiteral("cannot connect to the server %1: %2")
                  .arg(connection.shown(), db.lastError().databaseText().simplified());
    return false;
}

} // namespace korvel
