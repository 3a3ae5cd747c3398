#include "viewer/base_lookup.h"

#include "basestore/base_archive.h"
#include "basestore/base_digest.h"

#include <QDir>
#include <QFileInfo>

namespace korvel {

BaseLookup::BaseLookup(QString baseFolder)
    : folder_(std::move(baseFolder)) {}

QString BaseLookup::digestOf(const QString& path) {
    const QFileInfo info(path);
    Known& known = known_[path];
    if (known.size != info.size() || known.modified != info.lastModified()) {
        known.size = info.size();
        known.modified = info.lastModified();
        known.sha256 = baseArchiveSha256(path);
    }
    return known.sha256;
}

QString BaseLookup::find(const QString& fileName, const QString& sha256) {
    if (sha256.isEmpty())
        return {};
    const QDir folder(folder_);
    QStringList names = listBaseArchives(folder_);
    // The recorded name first: the usual case costs one digest.
    if (names.removeOne(fileName))
        names.prepend(fileName);
    for (const QString& name : names) {
        const QString path = folder.filePath(name);
        if (digestOf(path).compare(sha256, Qt::CaseInsensitive) == 0)
            return path;
    }
    return {};
}

} // namespace korvel
