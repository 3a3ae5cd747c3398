#include "archive_index_cache.h"

#include "base_archive.h"

#include <QFile>
#include <QFileInfo>
#include <filesystem>

namespace korvel {

namespace {
// Room for the directories of a few hundred ordinary bases or of several
// bases of 60,000 entries; the least recently used go first.
constexpr qsizetype MaxCacheMemory = 64 * 1024 * 1024;
} // namespace

std::shared_ptr<const ZipDirectory> ArchiveIndexCache::directory(const QString& path, bool reread) {
    const QFileInfo info(path);
    if (info.isDir())
        throw ArchiveError(
            QStringLiteral("%1 is a folder, not a base archive").arg(path).toStdString());
    if (!info.isFile())
        throw ArchiveError(QStringLiteral("File %1 not found").arg(path).toStdString());
    // The file's own time, not QFileInfo::lastModified: that one is converted
    // to local time, which reads the time zone at every call.
    std::error_code failed;
    const Identity identity{info.size(),
                            std::filesystem::last_write_time(info.filesystemFilePath(), failed)};

    const auto found = cached_.find(path);
    if (found != cached_.end() && found->identity == identity && !reread) {
        found->lastUse = ++uses_;
        return found->directory;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ArchiveError(QStringLiteral("Cannot open archive %1: %2")
                               .arg(path, file.errorString())
                               .toStdString());
    auto directory = std::make_shared<const ZipDirectory>(ZipDirectory::read(file, path));
    insert(path, {identity, directory, ++uses_});
    return directory;
}

void ArchiveIndexCache::insert(const QString& path, Cached cached) {
    const auto old = cached_.find(path);
    if (old != cached_.end()) {
        memory_ -= old->directory->memoryUsed();
        cached_.erase(old);
    }
    memory_ += cached.directory->memoryUsed();
    cached_.insert(path, std::move(cached));
    while (memory_ > MaxCacheMemory && cached_.size() > 1) {
        auto oldest = cached_.begin();
        for (auto it = cached_.begin(); it != cached_.end(); ++it) {
            if (it->lastUse < oldest->lastUse)
                oldest = it;
        }
        memory_ -= oldest->directory->memoryUsed();
        cached_.erase(oldest);
    }
}

} // namespace korvel
