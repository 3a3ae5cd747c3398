#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <stdexcept>

namespace korvel {

class ArchiveWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class EntryCompression { Deflated, Stored };

// Collects entries and writes them as one ZIP archive with libzip. Entry
// names are stored exactly as given (so a test can store "B1\T.1" or
// "b1/t.1"); data are stored as given, byte for byte.
class BaseArchiveWriter {
public:
    void addEntry(const QString& name, QByteArray data,
                  EntryCompression compression = EntryCompression::Deflated);
    bool isEmpty() const { return entries_.isEmpty(); }

    // Writes the archive, replacing the file only when the whole archive was
    // written. Throws ArchiveWriteError.
    void write(const QString& path) const;

private:
    struct Entry {
        QByteArray name;
        QByteArray data;
        EntryCompression compression;
    };
    QList<Entry> entries_;
};

} // namespace korvel
