#include "embedded_picture.h"

#include "html_content.h"

#include <QUrl>

namespace korvel {

QStringList moveImagesToPicture(BankQuestion& question, const QString& html,
                                const PictureResolver& resolve, QStringList& warnings) {
    const HtmlWithoutImages taken = takeImages(html);
    question.text = taken.html;
    QStringList used;
    for (const QString& source : taken.sources) {
        std::optional<QByteArray> bytes = dataUriBytes(source);
        const bool inlined = bytes.has_value();
        if (!inlined && resolve)
            bytes = resolve(source);
        const QString shown = inlined ? QStringLiteral("an inline picture")
                                      : QStringLiteral("picture %1").arg(source.left(200));
        if (!bytes) {
            warnings << aboutQuestion(question.name,
                                      QStringLiteral("%1 is not in the file; left out").arg(shown));
        } else if (question.picture.isEmpty()) {
            question.picture = *bytes;
        } else {
            warnings << aboutQuestion(
                question.name,
                QStringLiteral("%1 is left out, a question holds one picture").arg(shown));
        }
        if (!inlined)
            used << QUrl::fromPercentEncoding(source.section(u'/', -1).toUtf8());
    }
    return used;
}

} // namespace korvel
