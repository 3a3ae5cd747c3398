#include "plain_text_file.h"

#include "question_admission.h"

#include <QStringDecoder>

namespace korvel {

QString decodeUtf8File(const QByteArray& bytes, QStringList* warnings) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        *warnings << QStringLiteral("the file is not valid UTF-8; the bad bytes became \uFFFD");
    if (text.startsWith(QChar::ByteOrderMark))
        text.remove(0, 1);
    return cleanText(text);
}

QString nameFromText(const QString& text) {
    constexpr qsizetype Length = 60;
    const QString simple = text.simplified();
    return simple.size() <= Length ? simple : simple.left(Length - 3) + QStringLiteral("...");
}

} // namespace korvel
