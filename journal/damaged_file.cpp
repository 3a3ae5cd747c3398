#include "journal/damaged_file.h"

#include <QFile>
#include <QFileInfo>

namespace korvel {

QString moveDamagedFileAside(const QString& path, const QDateTime& now) {
    const QString stem = path + QStringLiteral(".damaged-") +
                         now.toLocalTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target = stem;
    for (int n = 2; QFileInfo::exists(target) || QFileInfo::exists(target + "-wal"); ++n)
        target = stem + u'-' + QString::number(n);
    // rename() refuses an existing target, so a race cannot overwrite either.
    if (!QFile::rename(path, target))
        return {};
    const QString wal = path + QStringLiteral("-wal");
    if (QFileInfo::exists(wal) && !QFile::rename(wal, target + QStringLiteral("-wal"))) {
        QFile::rename(target, path); // a new file would replay the old log
        return {};
    }
    QFile::remove(path + QStringLiteral("-shm"));
    return target;
}

} // namespace korvel
