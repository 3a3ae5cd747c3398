#include "text_codec.h"

#include "key_value_file.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace korvel {

std::optional<QByteArray> encodeWindows1251(QStringView text, qsizetype* badPosition) {
    QStringEncoder encoder("windows-1251");
    QByteArray bytes = encoder.encode(text);
    // The encoder quietly substitutes what it cannot map, so the round trip
    // is what tells.
    if (!encoder.hasError() && decodeWindows1251(bytes) == text)
        return bytes;
    if (badPosition) {
        *badPosition = -1;
        for (qsizetype k = 0; k < text.size(); ++k) {
            const qsizetype length = text[k].isHighSurrogate() && k + 1 < text.size() ? 2 : 1;
            const QStringView character = text.mid(k, length);
            QStringEncoder single("windows-1251");
            if (decodeWindows1251(QByteArray(single.encode(character))) != character) {
                *badPosition = k;
                break;
            }
            k += length - 1;
        }
    }
    return std::nullopt;
}

QString decodeWindows1251(QByteArrayView bytes) {
    if (bytes.isEmpty())
        return {};
    QStringDecoder decoder("windows-1251");
    return decoder.decode(bytes);
}

QString withCrLf(QStringView text) {
    QString result;
    result.reserve(text.size() + text.size() / 16);
    for (qsizetype k = 0; k < text.size(); ++k) {
        const QChar c = text[k];
        if (c == u'\r') {
            result += u"\r\n";
            if (k + 1 < text.size() && text[k + 1] == u'\n')
                ++k;
        } else if (c == u'\n') {
            result += u"\r\n";
        } else {
            result += c;
        }
    }
    return result;
}

QByteArray baseTextBytes(const QString& text, const QString& where) {
    qsizetype bad = -1;
    const QString stored = withCrLf(text);
    const std::optional<QByteArray> bytes = encodeWindows1251(stored, &bad);
    if (bytes)
        return *bytes;
    const QString character =
        bad >= 0 ? stored.mid(bad, stored[bad].isHighSurrogate() ? 2 : 1) : QString();
    const char32_t code = character.isEmpty() ? 0 : character.toUcs4().value(0);
    throw SourceError(QStringLiteral("%1: the character '%2' (U+%3) cannot be written in "
                                     "Windows-1251")
                          .arg(where, character)
                          .arg(uint(code), 4, 16, QLatin1Char('0')));
}

} // namespace korvel
