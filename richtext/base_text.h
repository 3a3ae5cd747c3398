#pragma once

#include <QByteArray>
#include <QString>

namespace korvel {

// Windows-1251 bytes of a base as text; CR LF line breaks become LF.
QString fromBaseText(const QByteArray& bytes);

} // namespace korvel
