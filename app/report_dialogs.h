#pragma once

#include "engine/run_window.h"

#include <QString>

class QPrinter;
class QWidget;

namespace korvel {

// The platform's save dialog with the request's title, folder, filters and
// proposed name: the full path chosen, or empty for cancel.
QString askFileNameInDialog(QWidget* parent, const SaveDialogRequest& request);

// The platform's print dialog on `printer`: false when cancelled.
bool choosePrinterInDialog(QWidget* parent, QPrinter& printer);

} // namespace korvel
