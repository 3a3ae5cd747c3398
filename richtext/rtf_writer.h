#pragma once

#include <QByteArray>

class QTextDocument;

namespace korvel {

// The document as RTF for Word, LibreOffice and WordPad: Windows-1251 text
// (\'hh), \uN? for everything outside that page, a font table in the Cyrillic
// charset, a colour table, pictures as PNG, tables as RTF tables.
QByteArray writeRtf(const QTextDocument& document);

} // namespace korvel
