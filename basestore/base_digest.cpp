#include "basestore/base_digest.h"

#include <QCryptographicHash>
#include <QFile>

namespace korvel {

QString baseArchiveSha256(const QString& path) {
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return {};
    return QString::fromLatin1(hash.result().toHex());
}

} // namespace korvel
