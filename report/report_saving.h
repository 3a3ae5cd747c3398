#pragma once

#include <QString>

class QTextDocument;

namespace korvel {

// The document as RTF through QSaveFile, so a failed write leaves an
// existing file as it was. The path is used exactly as given (no extension
// is added). Empty on success, else the error text.
QString saveReport(const QTextDocument& document, const QString& path);

} // namespace korvel
