#include "moodle_xml_export.h"

#include "html_content.h"

#include <QXmlStreamWriter>

namespace korvel {

namespace {

const QString PictureName = QStringLiteral("picture.jpg");

void textElement(QXmlStreamWriter& xml, const QString& element, const QString& text,
                 const QString& format = QStringLiteral("html")) {
    xml.writeStartElement(element);
    if (!format.isEmpty())
        xml.writeAttribute(QStringLiteral("format"), format);
    xml.writeTextElement(QStringLiteral("text"), text);
    xml.writeEndElement();
}

void writeQuestion(QXmlStreamWriter& xml, const BankQuestion& question) {
    xml.writeStartElement(QStringLiteral("question"));
    xml.writeAttribute(QStringLiteral("type"), QStringLiteral("multichoice"));
    textElement(xml, QStringLiteral("name"), question.name, {});

    // A picture needs a reference from the text, so its text is HTML.
    const bool html = question.html || !question.picture.isEmpty();
    QString text = question.text;
    if (!question.html && html)
        text = QStringLiteral("<p>%1</p>").arg(plainTextToHtml(question.text));
    if (!question.picture.isEmpty())
        text += QStringLiteral("<p><img src=\"@@PLUGINFILE@@/%1\" alt=\"\"></p>").arg(PictureName);
    xml.writeStartElement(QStringLiteral("questiontext"));
    xml.writeAttribute(QStringLiteral("format"),
                       html ? QStringLiteral("html") : QStringLiteral("plain_text"));
    xml.writeStartElement(QStringLiteral("text"));
    if (html && !text.contains(QLatin1String("]]>")))
        xml.writeCDATA(text);
    else
        xml.writeCharacters(text);
    xml.writeEndElement();
    if (!question.picture.isEmpty()) {
        xml.writeStartElement(QStringLiteral("file"));
        xml.writeAttribute(QStringLiteral("name"), PictureName);
        xml.writeAttribute(QStringLiteral("path"), QStringLiteral("/"));
        xml.writeAttribute(QStringLiteral("encoding"), QStringLiteral("base64"));
        xml.writeCharacters(QString::fromLatin1(question.picture.toBase64()));
        xml.writeEndElement();
    }
    xml.writeEndElement();

    textElement(xml, QStringLiteral("generalfeedback"), {});
    xml.writeTextElement(QStringLiteral("defaultgrade"), QStringLiteral("1.0000000"));
    xml.writeTextElement(QStringLiteral("penalty"), QStringLiteral("0.3333333"));
    xml.writeTextElement(QStringLiteral("hidden"), QStringLiteral("0"));
    xml.writeTextElement(QStringLiteral("idnumber"), {});
    xml.writeTextElement(QStringLiteral("single"),
                         question.single ? QStringLiteral("true") : QStringLiteral("false"));
    xml.writeTextElement(QStringLiteral("shuffleanswers"), QStringLiteral("true"));
    xml.writeTextElement(QStringLiteral("answernumbering"), QStringLiteral("123"));
    xml.writeTextElement(QStringLiteral("showstandardinstruction"), QStringLiteral("0"));
    textElement(xml, QStringLiteral("correctfeedback"), {});
    textElement(xml, QStringLiteral("partiallycorrectfeedback"), {});
    textElement(xml, QStringLiteral("incorrectfeedback"), {});
    for (const BankAnswer& answer : question.answers) {
        xml.writeStartElement(QStringLiteral("answer"));
        xml.writeAttribute(QStringLiteral("fraction"), fractionText(answer.fraction));
        xml.writeAttribute(QStringLiteral("format"), QStringLiteral("plain_text"));
        xml.writeTextElement(QStringLiteral("text"), answer.text);
        textElement(xml, QStringLiteral("feedback"), {});
        xml.writeEndElement();
    }
    xml.writeEndElement();
}

} // namespace

QString fractionText(double fraction) {
    QString text = QString::number(fraction, 'f', 5);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text == u"-0" ? QStringLiteral("0") : text;
}

QByteArray exportMoodleXml(const QList<BankQuestion>& questions) {
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("quiz"));
    QString category;
    bool first = true;
    for (const BankQuestion& question : questions) {
        if (first || question.category != category) {
            first = false;
            category = question.category;
            xml.writeStartElement(QStringLiteral("question"));
            xml.writeAttribute(QStringLiteral("type"), QStringLiteral("category"));
            textElement(xml, QStringLiteral("category"), QStringLiteral("$course$/top/") + category,
                        {});
            textElement(xml, QStringLiteral("info"), {});
            xml.writeEndElement();
        }
        writeQuestion(xml, question);
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

} // namespace korvel
