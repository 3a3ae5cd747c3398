#include "gift_export.h"

#include "html_content.h"
#include "moodle_xml_export.h"

namespace korvel {

QString giftEscape(const QString& text) {
    QString escaped;
    escaped.reserve(text.size() + 16);
    for (const QChar c : text) {
        if (c == u'~' || c == u'=' || c == u'#' || c == u'{' || c == u'}' || c == u':' ||
            c == u'\\') {
            escaped += u'\\';
            escaped += c;
        } else if (c == u'\n') {
            escaped += QLatin1String("\\n");
        } else if (c != u'\r') {
            escaped += c;
        }
    }
    return escaped;
}

QByteArray exportGift(const QList<BankQuestion>& questions) {
    QString gift;
    QString category;
    bool first = true;
    for (const BankQuestion& question : questions) {
        if (first || question.category != category) {
            first = false;
            category = question.category;
            gift += QStringLiteral("$CATEGORY: $course$/top/%1\n\n").arg(category);
        }
        const bool html = question.html || !question.picture.isEmpty();
        QString text = question.text;
        if (!question.html && html)
            text = QStringLiteral("<p>%1</p>").arg(plainTextToHtml(question.text));
        if (!question.picture.isEmpty())
            text += QStringLiteral("<p><img src=\"data:image/jpeg;base64,%1\" alt=\"\"></p>")
                        .arg(QString::fromLatin1(question.picture.toBase64()));
        gift +=
            QStringLiteral("::%1::%2%3{\n")
                .arg(giftEscape(question.name),
                     html ? QStringLiteral("[html]") : QStringLiteral("[plain]"), giftEscape(text));
        for (const BankAnswer& answer : question.answers) {
            const QString escaped = giftEscape(html ? plainTextToHtml(answer.text) : answer.text);
            if (question.single)
                gift += (answer.fraction >= 99.9 ? u'=' : u'~') + escaped + u'\n';
            else
                gift += u'~' + (u'%' + fractionText(answer.fraction) + u'%') + escaped + u'\n';
        }
        gift += QStringLiteral("}\n\n");
    }
    return gift.toUtf8();
}

} // namespace korvel
