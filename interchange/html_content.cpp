#include "html_content.h"

#include <QRegularExpression>
#include <QVariant>

namespace korvel {

QVariant OfflineDocument::loadResource(int, const QUrl&) {
    return {};
}

HtmlWithoutImages takeImages(const QString& html) {
    // Linear: neither pattern can backtrack over more than one tag.
    static const QRegularExpression image(QStringLiteral("<img\\b[^>]*>"),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression source(
        QStringLiteral("\\bsrc\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s>]+))"),
        QRegularExpression::CaseInsensitiveOption);
    HtmlWithoutImages result;
    qsizetype copied = 0;
    auto images = image.globalMatch(html);
    while (images.hasNext()) {
        const QRegularExpressionMatch tag = images.next();
        result.html += QStringView(html).mid(copied, tag.capturedStart() - copied);
        copied = tag.capturedEnd();
        const QRegularExpressionMatch src = source.match(tag.captured());
        if (src.hasMatch()) {
            QString value = src.captured(1) + src.captured(2) + src.captured(3);
            result.sources << value.replace(QLatin1String("&amp;"), QLatin1String("&"));
        }
    }
    result.html += QStringView(html).mid(copied);
    return result;
}

QString htmlToPlainText(const QString& html) {
    OfflineDocument document;
    document.setHtml(html);
    // Pictures leave an object replacement character behind.
    return document.toPlainText()
        .replace(QChar::Nbsp, u' ')
        .remove(QChar::ObjectReplacementCharacter)
        .trimmed();
}

std::optional<QByteArray> dataUriBytes(const QString& source) {
    const QString trimmed = source.trimmed();
    if (!trimmed.startsWith(QLatin1String("data:"), Qt::CaseInsensitive))
        return std::nullopt;
    const qsizetype comma = trimmed.indexOf(u',');
    if (comma < 0 || !trimmed.left(comma).endsWith(QLatin1String(";base64"), Qt::CaseInsensitive))
        return std::nullopt;
    return QByteArray::fromBase64(trimmed.mid(comma + 1).toLatin1());
}

QString plainTextToHtml(const QString& text) {
    return text.toHtmlEscaped().replace(u'\n', QLatin1String("<br>"));
}

} // namespace korvel
