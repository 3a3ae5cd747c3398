#include "resources/skin_style.h"

#include <QFile>

namespace korvel {

QString skinStyleSheet() {
    QFile file(QStringLiteral(":/skin/skin.qss"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace korvel
