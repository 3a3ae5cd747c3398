#pragma once

#include <QString>

class QPrinter;
class QTextDocument;

namespace korvel {

// Prints the whole document as one job "OtcetPrint" on the whole printable
// page, keeping at least 10 mm from every edge of the sheet, as many pages as
// the text needs. Empty on success, otherwise the printer's error.
QString printReport(const QTextDocument& document, QPrinter& printer);

} // namespace korvel
