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

// A source text as a base stores it: CR LF line breaks, Windows-1251.
// Throws SourceError naming `where` and the first character it cannot write.
QByteArray baseTextBytes(const QString& text, const QString& where);

} // namespace korvel
