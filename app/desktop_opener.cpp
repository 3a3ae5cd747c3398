#include "app/desktop_opener.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QSet>
#include <QStandardPaths>

namespace korvel {

namespace {

// The desktop ids a section of a desktop-entry style file lists for the types.
using Sections = QHash<QString, QHash<QString, QStringList>>;

Sections readSections(const QString& path) {
    Sections sections;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return sections;
    QString section;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2);
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (line.startsWith(QLatin1Char('#')) || equals <= 0)
            continue;
        QStringList ids = line.mid(equals + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& id : ids)
            id = id.trimmed();
        sections[section][line.left(equals).trimmed()].append(ids);
    }
    return sections;
}

QStringList listed(const Sections& sections, const QString& section, const QStringList& types) {
    QStringList ids;
    const QHash<QString, QStringList> entries = sections.value(section);
    for (const QString& type : types)
        ids.append(entries.value(type));
    return ids;
}

// A desktop id names applications/<id>, or a sub folder for each '-' in it.
bool isInstalled(const QString& id, const QStringList& applicationFolders) {
    for (const QString& folder : applicationFolders) {
        QString relative = id;
        for (;;) {
            if (QFileInfo::exists(folder + QLatin1Char('/') + relative))
                return true;
            const qsizetype dash = relative.indexOf(QLatin1Char('-'));
            if (dash < 0)
                break;
            relative[dash] = QLatin1Char('/');
        }
    }
    return false;
}

bool followsFreedesktop() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS) && !defined(Q_OS_ANDROID)
    return true;
#else
    return false;
#endif
}

} // namespace

bool hasMimeHandler(const QStringList& mimeTypes, const QStringList& configFolders,
                    const QStringList& applicationFolders) {
    QStringList listFiles;
    const QStringList desktops = qEnvironmentVariable("XDG_CURRENT_DESKTOP")
                                     .toLower()
                                     .split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString& folder : configFolders + applicationFolders) {
        for (const QString& desktop : desktops)
            listFiles.append(folder + QLatin1Char('/') + desktop +
                             QStringLiteral("-mimeapps.list"));
        listFiles.append(folder + QStringLiteral("/mimeapps.list"));
    }

    // A removal hides the association of the same program in the files after it.
    QSet<QString> removed;
    auto takes = [&](const QString& id) {
        return !removed.contains(id) && isInstalled(id, applicationFolders);
    };
    for (const QString& path : listFiles) {
        const Sections sections = readSections(path);
        for (const char* section : {"Default Applications", "Added Associations"}) {
            for (const QString& id : listed(sections, QLatin1String(section), mimeTypes)) {
                if (takes(id))
                    return true;
            }
        }
        for (const QString& id :
             listed(sections, QStringLiteral("Removed Associations"), mimeTypes))
            removed.insert(id);
    }
    for (const QString& folder : applicationFolders) {
        const Sections cache = readSections(folder + QStringLiteral("/mimeinfo.cache"));
        for (const QString& id : listed(cache, QStringLiteral("MIME Cache"), mimeTypes)) {
            if (takes(id))
                return true;
        }
    }
    return false;
}

bool openWithDesktop(const QUrl& url) {
    if (url.isLocalFile()) {
        const QString path = url.toLocalFile();
        if (!QFileInfo(path).isFile())
            return false;
        if (followsFreedesktop()) {
            const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
            const QStringList types = QStringList{type.name()} + type.aliases();
            if (!hasMimeHandler(
                    types, QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation),
                    QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)))
                return false;
        }
    }
    return QDesktopServices::openUrl(url);
}

} // namespace korvel
