#include "richtext/base_text.h"

#include <QStringDecoder>

namespace korvel {

QString fromBaseText(const QByteArray& bytes) {
    QStringDecoder decoder("windows-1251");
    QString text = decoder.isValid() ? decoder.decode(bytes) : QString::fromLatin1(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace korvel
