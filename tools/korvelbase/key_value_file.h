#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <stdexcept>

namespace korvel {

// A mistake in a base's source folder; the text names the file (and line).
class SourceError : public std::runtime_error {
public:
    explicit SourceError(const QString& message)
        : std::runtime_error(message.toStdString()) {}
};

// One "Key = value" of a source file. Multi-line values have their lines
// joined with "\n".
struct KeyValueEntry {
    QString section; // empty before the first [Section] line
    QString key;
    QString value;
    int line = 0;
};

// The UTF-8 "key = value" files of a base's source folder:
//   # comment (in the first column)
//   [Section]
//   Key = first line of the value
//       further lines are indented; a line of a single "." is an empty line
// Keys are letters, digits and '_'; a key may appear once per section.
// Throws SourceError naming fileName and the line.
QList<KeyValueEntry> parseKeyValueFile(const QByteArray& utf8, const QString& fileName);

// Reads a file as UTF-8 text (a leading byte order mark is dropped).
// Throws SourceError when it cannot be read or is not UTF-8.
QString readUtf8File(const QString& path);
// The same for bytes read already; fileName names them in the error.
QString decodeUtf8(const QByteArray& bytes, const QString& fileName);

} // namespace korvel
