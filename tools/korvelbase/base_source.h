#pragma once

#include "record_container_writer.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace korvel {

// One question as it goes into the archive: every byte ready to store.
struct SourceQuestion {
    int ticket = 0;
    int question = 0;
    QByteArray text;              // T.<q>: Windows-1251, CR LF
    QByteArray picture;           // J.<q>: JPEG, empty when the question has none
    RecordContainerWriter record; // V.<q> before enciphering
};

// A base read from its source folder (the format is described in README.md).
struct BaseSource {
    RecordContainerWriter descriptor; // base.dni
    QByteArray mainPicture;           // Skin/main.jpg
    QByteArray goodAnimation;         // Skin/good.gif
    QByteArray badAnimation;          // Skin/bad.gif
    int tickets = 0;
    int questionsPerTicket = 0;
    QList<SourceQuestion> questions; // ticket by ticket, in question order

    QStringList errors;   // the base cannot be built while any is here
    QStringList warnings; // files that were left out, and the like
};

BaseSource loadBaseSource(const QString& folder);

// Writes base.dni, the skin pictures and every question (records enciphered,
// entries deflated). Throws ArchiveWriteError.
void writeBaseArchive(const BaseSource& source, const QString& path);

} // namespace korvel
