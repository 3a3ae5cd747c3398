#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace korvel {

// UTF-8 text with or without a BOM, line breaks made LF. Bytes that are not
// UTF-8 become U+FFFD, and one line of *warnings says so.
QString decodeUtf8File(const QByteArray& bytes, QStringList* warnings);

// The first words of a text, to name a question that has no name of its own.
QString nameFromText(const QString& text);

} // namespace korvel
