#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>

namespace korvel {

// Windows-1251 bytes as a base stores them; nullopt when a character has no
// Windows-1251 code (the position of the first one in *badPosition).
std::optional<QByteArray> encodeWindows1251(QStringView text, qsizetype* badPosition = nullptr);
QString decodeWindows1251(QByteArrayView bytes);

// Every line break (CR, LF or CR LF) becomes CR LF.
QString withCrLf(QStringView text);

} // namespace korvel
