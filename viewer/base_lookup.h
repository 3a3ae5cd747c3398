#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>

namespace korvel {

// Finds the base archive a run was sat on: the file in the base folder whose
// SHA-256 is the one the journal recorded. A base rebuilt since has another
// digest and is not taken, so a past run is never shown with another base's
// questions. Digests are kept per file while its size and time are unchanged.
class BaseLookup {
public:
    explicit BaseLookup(QString baseFolder);

    // The full path, or empty when no file there has that digest. The file of
    // the recorded name is tried first, then every other base.
    QString find(const QString& fileName, const QString& sha256);

private:
    struct Known {
        qint64 size = -1;
        QDateTime modified;
        QString sha256;
    };
    QString digestOf(const QString& path);

    QString folder_;
    QHash<QString, Known> known_;
};

} // namespace korvel
