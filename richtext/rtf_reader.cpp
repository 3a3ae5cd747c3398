#include "richtext/rtf_reader.h"

#include "richtext/rtf_parser.h"

#include <QStringDecoder>
#include <QTextCursor>
#include <QTextDocument>

namespace korvel {

bool isRtf(const QByteArray& bytes) {
    qsizetype i = 0;
    while (i < bytes.size() &&
           (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
        ++i;
    return QByteArrayView(bytes).sliced(i).startsWith("{\\rtf");
}

RtfReadResult insertRtf(QTextCursor& cursor, const QByteArray& rtf) {
    if (!isRtf(rtf))
        return {false, QStringLiteral("the text does not begin with {\\rtf")};
    rtf::RtfParser parser(cursor, rtf);
    return parser.run();
}

RtfReadResult loadQuestionText(QTextCursor& cursor, const QByteArray& bytes) {
    if (isRtf(bytes))
        return insertRtf(cursor, bytes);
    QString text = QStringDecoder("windows-1251").decode(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    qsizetype kept = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch.unicode() >= 0x20 || ch == u'\n' || ch == u'\t')
            text[kept++] = QChar(ch == u'\n' ? ch.unicode() : rtf::safeUnit(ch.unicode()));
    }
    text.truncate(kept);
    if (text.endsWith(u'\n'))
        text.chop(1);
    cursor.beginEditBlock();
    cursor.setBlockFormat(QTextBlockFormat());
    cursor.insertText(text, QTextCharFormat());
    cursor.endEditBlock();
    return {};
}

std::unique_ptr<QTextDocument> loadQuestionText(const QByteArray& bytes, RtfReadResult* result) {
    auto document = std::make_unique<QTextDocument>();
    document->setUndoRedoEnabled(false);
    QTextCursor cursor(document.get());
    const RtfReadResult read = loadQuestionText(cursor, bytes);
    if (result)
        *result = read;
    return document;
}

} // namespace korvel
