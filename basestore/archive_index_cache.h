#pragma once

#include "zip_directory.h"

#include <QHash>
#include <QString>
#include <filesystem>
#include <memory>

namespace korvel {

// The directories of the archives read so far, each kept while its file is
// unchanged (same size and modification time), so that reading an entry
// costs the same in a base of 60,000 entries as in one of 60.
class ArchiveIndexCache {
public:
    // Throws ArchiveError when the file is missing, not a file or not a
    // readable archive. reread: read the directory even if the file looks
    // unchanged (its size no longer matches the directory).
    std::shared_ptr<const ZipDirectory> directory(const QString& path, bool reread = false);

    qsizetype memoryUsed() const { return memory_; }

private:
    struct Identity {
        qint64 size = -1;
        std::filesystem::file_time_type modified{};
        friend bool operator==(const Identity&, const Identity&) = default;
    };
    struct Cached {
        Identity identity;
        std::shared_ptr<const ZipDirectory> directory;
        quint64 lastUse = 0;
    };

    void insert(const QString& path, Cached cached);

    QHash<QString, Cached> cached_;
    quint64 uses_ = 0;
    qsizetype memory_ = 0;
};

} // namespace korvel
