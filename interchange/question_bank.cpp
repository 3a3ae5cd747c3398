#include "question_bank.h"

namespace korvel {

QString aboutQuestion(const QString& name, const QString& what) {
    return QStringLiteral("question \"%1\": %2").arg(name, what);
}

QString categoryPath(const QString& path) {
    QStringList parts = path.split(u'/', Qt::SkipEmptyParts);
    for (QString& part : parts)
        part = part.trimmed();
    parts.removeAll(QString());
    if (!parts.isEmpty() && parts.first().startsWith(u'$') && parts.first().endsWith(u'$'))
        parts.removeFirst();
    if (!parts.isEmpty() && parts.first() == u"top")
        parts.removeFirst();
    return parts.join(u'/');
}

} // namespace korvel
