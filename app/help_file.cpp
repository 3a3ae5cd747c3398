#include "app/help_file.h"

namespace korvel {

QList<QUrl> helpDocuments(const QString& programFolder) {
    return {QUrl::fromLocalFile(programFolder + QStringLiteral("help.chm")),
            QUrl::fromLocalFile(programFolder + QStringLiteral("Help/guide/index.html"))};
}

void openHelp(const QString& programFolder, const std::function<bool(const QUrl&)>& open) {
    for (const QUrl& document : helpDocuments(programFolder)) {
        if (open(document))
            return;
    }
}

} // namespace korvel
