#pragma once

#include <QSqlDatabase>
#include <QString>

namespace korvel {

// A database connection of its own name, closed and removed with the
// object, whatever way the work on it ends.
class NamedConnection {
public:
    NamedConnection(const QString& driver, const QString& name)
        : name_(name)
        , db_(QSqlDatabase::addDatabase(driver, name)) {}
    ~NamedConnection() {
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(name_);
    }
    NamedConnection(const NamedConnection&) = delete;
    NamedConnection& operator=(const NamedConnection&) = delete;

    QSqlDatabase& db() { return db_; }

private:
    QString name_;
    QSqlDatabase db_;
};

} // namespace korvel
