#pragma once

#include "base_archive.h"
#include "byte_stream.h"
#include "descriptor.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace korvel {

struct CatalogueEntry {
    QString fileName; // the archive's name without folder
    QByteArray name;  // Base/Name, Windows-1251
};

// The listed bases of a folder, in listing order: archives that open and hold
// a non-empty base.dni. Archives that fail are left out silently.
QList<CatalogueEntry> buildCatalogue(Archiver& archiver, const QString& baseFolder);

// Everything the opening of one base reads, in one open-read-close sequence.
struct OpenedBase {
    enum class Status {
        Ok,
        ArchiveUnreadable, // the archive does not open
        DescriptorMissing, // base.dni missing, empty or damaged
        CountsInvalid,     // Vop or Bil absent or not a number
        CountsOutOfRange,  // Vop or Bil outside 1..1000
    };

    QString path;
    Status status = Status::ArchiveUnreadable;
    QString error;            // what went wrong, for messages; empty when Ok
    ByteStream descriptor;    // the whole base.dni; empty unless it read
    QByteArray descript;      // Base/Descript (also set when the counts fail)
    BaseCounts counts;        // valid when status is Ok or CountsOutOfRange
    QByteArray mainPicture;   // Skin\main.jpg, empty when missing or unreadable
    QByteArray goodAnimation; // Skin\good.gif
    QByteArray badAnimation;  // Skin\bad.gif
    // The names of the pictures above that are there but do not read
    // (damaged data); a missing picture is not named.
    QStringList damagedEntries;

    bool usable() const { return status == Status::Ok; }
};

OpenedBase openBase(Archiver& archiver, const QString& path);

} // namespace korvel
