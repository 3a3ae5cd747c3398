#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTextDocument>
#include <optional>

namespace korvel {

// A document that never fetches anything: an <img>, a style sheet or a
// background named by a bank's HTML would otherwise be read from the local
// disk by QTextDocument.
class OfflineDocument : public QTextDocument {
public:
    using QTextDocument::QTextDocument;

protected:
    QVariant loadResource(int type, const QUrl& name) override;
};

// HTML with its <img> tags taken out, and their src values in order.
struct HtmlWithoutImages {
    QString html;
    QStringList sources;
};
HtmlWithoutImages takeImages(const QString& html);

// The text of an HTML fragment: entities decoded, markup dropped, no
// break spaces made plain, and the ends trimmed.
QString htmlToPlainText(const QString& html);

// The bytes of a data: URI with base64 content ("data:image/png;base64,...");
// nullopt for any other source.
std::optional<QByteArray> dataUriBytes(const QString& source);

// HTML-escaped plain text, lines as <br>.
QString plainTextToHtml(const QString& text);

} // namespace korvel
