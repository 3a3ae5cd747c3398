#include "rtf_command.h"

#include "key_value_file.h"
#include "richtext/rtf_reader.h"
#include "richtext/rtf_writer.h"
#include "text_codec.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QSet>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

namespace korvel {

namespace {

// toHtml refers to pictures by resource name, which means nothing outside
// this document; put each picture into its <img> as a data URL.
QString htmlWithInlineImages(const QTextDocument& document) {
    QString html = document.toHtml();
    QSet<QString> done;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (!format.isImageFormat())
                continue;
            const QString name = format.toImageFormat().name();
            if (done.contains(name))
                continue;
            done.insert(name);
            const QImage image =
                document.resource(QTextDocument::ImageResource, QUrl(name)).value<QImage>();
            QByteArray png;
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            if (image.isNull() || !image.save(&buffer, "PNG"))
                continue;
            html.replace(QStringLiteral("src=\"%1\"").arg(name.toHtmlEscaped()),
                         QStringLiteral("src=\"data:image/png;base64,%1\"")
                             .arg(QString::fromLatin1(png.toBase64())));
        }
    }
    return html;
}

// The bytes as a base holds them. A source file is UTF-8 and goes in the
// way build stores it; anything else (an entry taken out of a base) is
// Windows-1251 already.
QByteArray storedText(const QByteArray& bytes, const QString& fileName) {
    QString text;
    try {
        text = decodeUtf8(bytes, fileName);
    } catch (const SourceError&) {
        return bytes;
    }
    // build keeps an RTF text from its {\rtf on; the program tells RTF by it.
    const qsizetype start = text.indexOf(QLatin1String("{\\rtf"));
    if (start > 0 && text.left(start).trimmed().isEmpty())
        text.remove(0, start);
    return baseTextBytes(text, fileName);
}

} // namespace

int rtfCommand(CommandContext& context) {
    QStringList arguments = context.arguments;
    QString to = QStringLiteral("text");
    const qsizetype toAt = arguments.indexOf(QStringLiteral("--to"));
    if (toAt >= 0) {
        if (toAt + 1 >= arguments.size())
            return usageError(context, QStringLiteral("--to needs text, html or rtf"));
        to = arguments.at(toAt + 1);
        arguments.remove(toAt, 2);
    }
    if (to != QLatin1String("text") && to != QLatin1String("html") && to != QLatin1String("rtf"))
        return usageError(context,
                          QStringLiteral("unknown output kind '%1' (text, html or rtf)").arg(to));
    if (arguments.size() != 1)
        return usageError(context, QStringLiteral("give exactly one FILE"));

    QFile file(arguments.first());
    if (!file.open(QIODevice::ReadOnly)) {
        context.err << "korvelbase rtf: cannot read " << file.fileName() << ": "
                    << file.errorString() << '\n';
        return ExitProblems;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        context.err << "korvelbase rtf: cannot read " << file.fileName() << ": "
                    << file.errorString() << '\n';
        return ExitProblems;
    }

    QByteArray stored;
    try {
        stored = storedText(bytes, file.fileName());
    } catch (const SourceError& failure) {
        context.err << "korvelbase rtf: " << QString::fromStdString(failure.what()) << '\n';
        return ExitProblems;
    }
    RtfReadResult result;
    const auto document = loadQuestionText(stored, &result);
    if (!result.message.isEmpty())
        context.err << "korvelbase rtf: " << file.fileName() << ": " << result.message << '\n';

    if (to == QLatin1String("text"))
        context.out << document->toPlainText() << '\n';
    else if (to == QLatin1String("html"))
        context.out << htmlWithInlineImages(*document);
    else
        context.out << QString::fromLatin1(writeRtf(*document));
    return ExitClean;
}

} // namespace korvel
