#include "moodle_xml_import.h"

#include "embedded_picture.h"
#include "html_content.h"
#include "question_admission.h"

#include <QHash>
#include <QUrl>
#include <QXmlStreamReader>

namespace korvel {

namespace {

struct EmbeddedFile {
    QString name;
    QByteArray bytes;
};

// A <question> as read, before it is judged.
struct MoodleQuestion {
    QString type;
    QString name;
    QString text;
    QString textFormat = QStringLiteral("html");
    QList<EmbeddedFile> files; // the question text's own
    QString imageName;         // the older <image> with <image_base64>
    QByteArray imageBytes;
    bool single = true;
    QList<BankAnswer> answers;
};

bool isHtmlFormat(const QString& format) {
    return format != u"plain_text" && format != u"markdown";
}

bool isSoundName(const QString& name) {
    static const QStringList endings{".mp3",  ".wav", ".ogg", ".oga",  ".m4a", ".aac",
                                     ".flac", ".wma", ".mp4", ".webm", ".avi", ".mov"};
    for (const QString& ending : endings) {
        if (name.endsWith(ending, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

class MoodleReader {
public:
    explicit MoodleReader(const QByteArray& xml)
        : xml_(xml) {}

    QuestionBank read();

private:
    // Moves to the next child element of the current one; false at its end.
    // A DTD anywhere stops the whole file.
    bool nextChild();
    QString textChild(); // the <text> inside the current element, the rest skipped
    void readQuestion();
    void readQuestionText(MoodleQuestion& question);
    void readAnswer(MoodleQuestion& question);
    void judge(MoodleQuestion& question);
    std::optional<QByteArray> pictureFor(const MoodleQuestion& question, const QString& source);

    QXmlStreamReader xml_;
    QuestionBank bank_;
    QString category_;
    int position_ = 0;
};

bool MoodleReader::nextChild() {
    while (!xml_.atEnd()) {
        const QXmlStreamReader::TokenType token = xml_.readNext();
        if (token == QXmlStreamReader::DTD) {
            // Entity declarations could make a small file expand without end.
            xml_.raiseError(QStringLiteral("the file declares a DTD, which is not accepted"));
            return false;
        }
        if (token == QXmlStreamReader::StartElement)
            return true;
        if (token == QXmlStreamReader::EndElement)
            return false;
    }
    return false;
}

QString MoodleReader::textChild() {
    QString text;
    while (nextChild()) {
        if (xml_.name() == u"text")
            text = xml_.readElementText(QXmlStreamReader::SkipChildElements);
        else
            xml_.skipCurrentElement();
    }
    return text;
}

QuestionBank MoodleReader::read() {
    if (nextChild()) {
        if (xml_.name() != u"quiz") {
            xml_.raiseError(
                QStringLiteral("the top element is <%1>, not <quiz>").arg(xml_.name().toString()));
        } else {
            while (nextChild()) {
                if (xml_.name() == u"question")
                    readQuestion();
                else
                    xml_.skipCurrentElement();
            }
        }
    }
    if (xml_.hasError()) {
        QString message = xml_.errorString();
        if (message.endsWith(u'.'))
            message.chop(1);
        bank_.warnings << QStringLiteral("line %1, column %2: %3; nothing after it was read")
                              .arg(xml_.lineNumber())
                              .arg(xml_.columnNumber())
                              .arg(message);
    } else if (position_ == 0) {
        bank_.warnings << QStringLiteral("the file holds no <question>");
    }
    return std::move(bank_);
}

void MoodleReader::readQuestion() {
    ++position_;
    MoodleQuestion question;
    question.type = xml_.attributes().value(QLatin1String("type")).toString();
    if (question.type == u"category") {
        while (nextChild()) {
            if (xml_.name() == u"category")
                category_ = categoryPath(textChild());
            else
                xml_.skipCurrentElement();
        }
        return;
    }
    while (nextChild()) {
        const QStringView name = xml_.name();
        if (name == u"name") {
            question.name = textChild().trimmed();
        } else if (name == u"questiontext") {
            readQuestionText(question);
        } else if (name == u"single") {
            const QString value = xml_.readElementText(QXmlStreamReader::SkipChildElements);
            question.single = value.trimmed() != u"false" && value.trimmed() != u"0";
        } else if (name == u"answer") {
            readAnswer(question);
        } else if (name == u"image") {
            question.imageName = xml_.readElementText(QXmlStreamReader::SkipChildElements);
        } else if (name == u"image_base64") {
            question.imageBytes = QByteArray::fromBase64(
                xml_.readElementText(QXmlStreamReader::SkipChildElements).toLatin1());
        } else {
            xml_.skipCurrentElement();
        }
    }
    if (xml_.hasError())
        return;
    if (question.name.isEmpty())
        question.name = QStringLiteral("question %1 of the file").arg(position_);
    judge(question);
}

void MoodleReader::readQuestionText(MoodleQuestion& question) {
    question.textFormat = xml_.attributes().value(QLatin1String("format")).toString();
    while (nextChild()) {
        if (xml_.name() == u"text") {
            question.text = xml_.readElementText(QXmlStreamReader::SkipChildElements);
        } else if (xml_.name() == u"file") {
            EmbeddedFile file;
            file.name = xml_.attributes().value(QLatin1String("name")).toString();
            const bool base64 = xml_.attributes().value(QLatin1String("encoding")) == u"base64";
            const QString content = xml_.readElementText(QXmlStreamReader::SkipChildElements);
            if (base64)
                file.bytes = QByteArray::fromBase64(content.toLatin1());
            question.files << file;
        } else {
            xml_.skipCurrentElement();
        }
    }
}

void MoodleReader::readAnswer(MoodleQuestion& question) {
    BankAnswer answer;
    bool numeric = false;
    answer.fraction =
        xml_.attributes().value(QLatin1String("fraction")).toString().trimmed().toDouble(&numeric);
    if (!numeric)
        answer.fraction = 0;
    const bool html = isHtmlFormat(xml_.attributes().value(QLatin1String("format")).toString());
    QString text;
    while (nextChild()) {
        if (xml_.name() == u"text")
            text = xml_.readElementText(QXmlStreamReader::SkipChildElements);
        else
            xml_.skipCurrentElement();
    }
    answer.text = html ? htmlToPlainText(text) : text;
    question.answers << answer;
}

std::optional<QByteArray> MoodleReader::pictureFor(const MoodleQuestion& question,
                                                   const QString& source) {
    static const QLatin1String plugin("@@PLUGINFILE@@/");
    if (!source.startsWith(plugin))
        return std::nullopt;
    const QString name = QUrl::fromPercentEncoding(source.mid(plugin.size()).toUtf8());
    for (const EmbeddedFile& file : question.files) {
        if (file.name == name || file.name == name.section(u'/', -1))
            return file.bytes;
    }
    return std::nullopt;
}

void MoodleReader::judge(MoodleQuestion& question) {
    if (question.type != u"multichoice" && question.type != u"truefalse") {
        bank_.warnings << aboutQuestion(
            question.name,
            QStringLiteral("is a %1 question, which a base cannot hold; left out")
                .arg(question.type.isEmpty() ? QStringLiteral("typeless") : question.type));
        return;
    }
    BankQuestion result;
    result.category = category_;
    result.name = question.name;
    result.html = isHtmlFormat(question.textFormat);
    result.single = question.type == u"truefalse" || question.single;
    result.answers = question.answers;

    QStringList used; // the files that the text refers to
    if (result.html) {
        used = moveImagesToPicture(
            result, question.text,
            [&](const QString& source) { return pictureFor(question, source); }, bank_.warnings);
    } else {
        result.text = question.text;
    }
    if (!question.imageBytes.isEmpty()) {
        if (result.picture.isEmpty())
            result.picture = question.imageBytes;
        else
            bank_.warnings << aboutQuestion(
                question.name,
                QStringLiteral("picture %1 is left out, a question holds one picture")
                    .arg(question.imageName));
    }
    for (const EmbeddedFile& file : question.files) {
        if (used.contains(file.name))
            continue;
        bank_.warnings << aboutQuestion(
            question.name,
            QStringLiteral("%1 %2 is left out")
                .arg(isSoundName(file.name) ? QStringLiteral("sound") : QStringLiteral("file"),
                     file.name));
    }
    admitQuestion(std::move(result), bank_);
}

} // namespace

QuestionBank importMoodleXml(const QByteArray& xml) {
    return MoodleReader(xml).read();
}

} // namespace korvel
