#include "app/report_dialogs.h"

#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace korvel {

QString askFileNameInDialog(QWidget* parent, const SaveDialogRequest& request) {
    QStringList filters;
    for (const auto& [name, pattern] : request.filters)
        filters.append(QStringLiteral("%1 (%2)").arg(name, pattern));
    QFileDialog dialog(parent, request.title, request.folder, filters.join(QStringLiteral(";;")));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    if (request.selectedFilter >= 0 && request.selectedFilter < filters.size())
        dialog.selectNameFilter(filters.at(request.selectedFilter));
    dialog.selectFile(request.proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

bool choosePrinterInDialog(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace korvel
