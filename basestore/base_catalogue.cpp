#include "base_catalogue.h"

#include "record_container.h"

#include <QDir>

namespace korvel {

namespace {
// Empty when the entry is missing or damaged; a damaged one is named in the base.
QByteArray readOptionalEntry(Archiver& archiver, const QString& name, OpenedBase& base) {
    ByteStream stream;
    try {
        archiver.ArchiveEntryToStream(name, stream);
    } catch (const EntryNotFoundError&) {
        return {};
    } catch (const ArchiveError&) {
        base.damagedEntries.append(name);
        return {};
    }
    return stream.bytes();
}
} // namespace

QList<CatalogueEntry> buildCatalogue(Archiver& archiver, const QString& baseFolder) {
    QList<CatalogueEntry> entries;
    const QDir folder(baseFolder);
    for (const QString& fileName : listBaseArchives(baseFolder)) {
        ByteStream descriptor;
        try {
            descriptor = readArchiveEntry(archiver, folder.filePath(fileName), "base.dni");
        } catch (const ArchiveError&) {
            continue;
        }
        if (descriptor.isEmpty())
            continue;
        QByteArray name;
        try {
            name = descriptorName(descriptor);
        } catch (const RecordConversionError&) {
            // A damaged record only costs the caption; the base is still listed.
        }
        entries.append({fileName, name});
    }
    return entries;
}

OpenedBase openBase(Archiver& archiver, const QString& path) {
    OpenedBase base;
    base.path = path;
    archiver.setFileName(path);
    try {
        archiver.ArchiveOpen();
    } catch (const ArchiveError& error) {
        base.error = QString::fromStdString(error.what());
        return base;
    }
    base.mainPicture = readOptionalEntry(archiver, QStringLiteral("Skin\\main.jpg"), base);
    base.goodAnimation = readOptionalEntry(archiver, QStringLiteral("Skin\\good.gif"), base);
    base.badAnimation = readOptionalEntry(archiver, QStringLiteral("Skin\\bad.gif"), base);
    try {
        archiver.ArchiveEntryToStream(QStringLiteral("base.dni"), base.descriptor);
    } catch (const ArchiveError& error) {
        base.descriptor.clear();
        base.error = QString::fromStdString(error.what());
    }
    archiver.ArchiveClose();
    base.descriptor.seek(0);

    if (base.descriptor.isEmpty()) {
        base.status = OpenedBase::Status::DescriptorMissing;
        if (base.error.isEmpty())
            base.error = QStringLiteral("base.dni is empty");
        return base;
    }
    try {
        base.descript = descriptorDescript(base.descriptor);
        base.counts = readBaseCounts(base.descriptor);
    } catch (const std::runtime_error& error) {
        base.status = OpenedBase::Status::CountsInvalid;
        base.error = QString::fromStdString(error.what());
        return base;
    }
    if (!base.counts.inRange()) {
        base.status = OpenedBase::Status::CountsOutOfRange;
        base.error = QStringLiteral("Counts out of range 1..1000: Bil %1, Vop %2")
                         .arg(base.counts.tickets)
                         .arg(base.counts.questionsPerTicket);
        return base;
    }
    base.status = OpenedBase::Status::Ok;
    return base;
}

} // namespace korvel
