#include "engine/report_file_saving.h"

#include "platform/message_boxes.h"
#include "report/report_saving.h"

#include <QFileInfo>

namespace korvel {

SaveDialogRequest reportSaveRequest(const QString& folder) {
    SaveDialogRequest request;
    request.title = QStringLiteral("Save file");
    request.folder = folder;
    request.filters = {{QStringLiteral("Файл RTF (Rich Text Format)"), QStringLiteral("*.rtf")},
                       {QStringLiteral(" Any files (*.*)"), QStringLiteral("*.*")}};
    request.selectedFilter = 0;
    request.proposedName = QStringLiteral("Otchet.RTF");
    return request;
}

void saveReportAs(const QTextDocument& document, const QString& folder,
                  const std::function<QString(const SaveDialogRequest&)>& askFileName,
                  MessageBoxes& boxes) {
    const QString path = askFileName(reportSaveRequest(folder));
    if (path.isEmpty())
        return;
    if (QFileInfo::exists(path) &&
        boxes.ask(MessageKind::Confirmation, QStringLiteral("Файл уже существует. Заменить?"),
                  {MessageButton::Yes, MessageButton::No}) != MessageButton::Yes)
        return;
    const QString error = saveReport(document, path);
    if (!error.isEmpty()) {
        boxes.error(error);
        return;
    }
    boxes.ask(MessageKind::Confirmation, QStringLiteral("Отчет сохранен ..."), {MessageButton::Ok});
}

} // namespace korvel
