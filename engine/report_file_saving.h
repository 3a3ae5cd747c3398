#pragma once

#include "engine/run_window.h"

#include <QString>
#include <functional>

class QTextDocument;

namespace korvel {

class MessageBoxes;

// The save dialog of a report: "Save file" in `folder`, RTF or any file,
// "Otchet.RTF" proposed.
SaveDialogRequest reportSaveRequest(const QString& folder);

// Saving a shown report: asks for the file, asks before replacing one,
// writes the RTF and says so, or shows why it could not.
void saveReportAs(const QTextDocument& document, const QString& folder,
                  const std::function<QString(const SaveDialogRequest&)>& askFileName,
                  MessageBoxes& boxes);

} // namespace korvel
