#include "base_source.h"

#include "base_archive_writer.h"
#include "basestore/descriptor.h"
#include "basestore/question_cipher.h"
#include "basestore/question_record.h"
#include "key_value_file.h"
#include "picture_check.h"
#include "text_codec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSet>

namespace korvel {

namespace {

const QStringList BaseTextKeys = {"Name", "Descript", "Pozdr", "Izdevat"};
const QStringList QuestionKeys = {"answer1", "answer2",  "answer3",    "answer4", "answer5",
                                  "right",   "multiple", "literature", "punkt"};

// Reads through the mistakes of a whole source folder so that one build
// lists all of them.
class SourceReader {
public:
    SourceReader(const QString& folder, BaseSource& source)
        : folder_(folder)
        , source_(source) {}

    void read();

private:
    struct QuestionFiles {
        QString record; // <q>.ini
        QString text;   // <q>.txt or <q>.rtf
        QString picture;
    };

    void error(const QString& message) { source_.errors << message; }
    void warning(const QString& message) { source_.warnings << message; }
    QString relative(const QString& path) const { return QDir(folder_).relativeFilePath(path); }

    QByteArray encode(const QString& text, const QString& where);
    QByteArray readBytes(const QString& path);
    void readDescriptor();
    void readSkin();
    QMap<int, QString> ticketFolders();
    QMap<int, QuestionFiles> questionFiles(const QString& ticketFolder);
    void readQuestion(int ticket, int question, const QuestionFiles& files);
    QByteArray readText(const QString& path);
    void writeDescriptor();

    QString folder_;
    BaseSource& source_;
    QList<KeyValueEntry> baseEntries_;
    QList<KeyValueEntry> literatureEntries_;
    QSet<QString> literatureIndexes_;
};

QByteArray SourceReader::encode(const QString& text, const QString& where) {
    try {
        return baseTextBytes(text, where);
    } catch (const SourceError& failure) {
        error(QString::fromStdString(failure.what()));
        return {};
    }
}

QByteArray SourceReader::readBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error(relative(path) + QStringLiteral(": cannot read: ") + file.errorString());
        return {};
    }
    return file.readAll();
}

void SourceReader::readDescriptor() {
    const QString path = QDir(folder_).filePath("base.ini");
    if (!QFileInfo(path).isFile()) {
        error(QStringLiteral("base.ini is missing: every base needs one (see the README)"));
        return;
    }
    QList<KeyValueEntry> entries;
    try {
        entries = parseKeyValueFile(readBytes(path), "base.ini");
    } catch (const SourceError& failure) {
        error(QString::fromStdString(failure.what()));
        return;
    }
    for (const KeyValueEntry& entry : entries) {
        const QString where = QStringLiteral("base.ini:%1").arg(entry.line);
        if (entry.section == u"Base") {
            if (entry.key == u"Vop" || entry.key == u"Bil")
                error(where +
                      QStringLiteral(": %1 is counted from the ticket folders; leave it out")
                          .arg(entry.key));
            else if (!BaseTextKeys.contains(entry.key))
                error(where + QStringLiteral(": unknown key %1 in [Base] (known: %2)")
                                  .arg(entry.key, BaseTextKeys.join(", ")));
            else
                baseEntries_ << entry;
        } else if (entry.section == u"Literature") {
            if (entry.key.size() < 2 || !entry.key.startsWith(u'L'))
                error(where + QStringLiteral(": literature keys are L followed by the index (L1, "
                                             "L2 ...), not %1")
                                  .arg(entry.key));
            else if (entry.value.isEmpty())
                error(where + QStringLiteral(": %1 names no page").arg(entry.key));
            else {
                literatureEntries_ << entry;
                literatureIndexes_ << entry.key.mid(1);
            }
        } else {
            error(where + QStringLiteral(": %1 is outside [Base] and [Literature]").arg(entry.key));
        }
    }
    const bool named = std::any_of(baseEntries_.begin(), baseEntries_.end(), [](const auto& e) {
        return e.key == u"Name" && !e.value.isEmpty();
    });
    if (!named)
        error(QStringLiteral("base.ini: [Base] needs a Name (the caption of the base's button)"));
}

void SourceReader::readSkin() {
    const QDir skin(QDir(folder_).filePath("Skin"));
    if (!skin.exists())
        return;
    struct Picture {
        const char* name;
        PictureFormat format;
        QByteArray* target;
    };
    const Picture pictures[] = {{"main.jpg", PictureFormat::Jpeg, &source_.mainPicture},
                                {"good.gif", PictureFormat::Gif, &source_.goodAnimation},
                                {"bad.gif", PictureFormat::Gif, &source_.badAnimation}};
    QStringList known;
    for (const Picture& picture : pictures) {
        known << picture.name;
        const QString path = skin.filePath(picture.name);
        if (!QFileInfo(path).isFile())
            continue;
        *picture.target = readBytes(path);
        if (!pictureDecodes(*picture.target, picture.format))
            error(relative(path) +
                  QStringLiteral(": does not decode as a %1 picture")
                      .arg(picture.format == PictureFormat::Jpeg ? "JPEG" : "GIF"));
    }
    for (const QString& name : skin.entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot)) {
        if (!known.contains(name))
            warning(QStringLiteral("Skin/%1 is left out: a base's skin is main.jpg, good.gif and "
                                   "bad.gif")
                        .arg(name));
    }
}

QMap<int, QString> SourceReader::ticketFolders() {
    static const QRegularExpression ticketName("^[Bb](\\d+)$");
    QMap<int, QString> folders;
    const QDir root(folder_);
    for (const QString& name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QRegularExpressionMatch match = ticketName.match(name);
        if (!match.hasMatch())
            continue;
        const QString digits = match.captured(1);
        if (name[0] != u'B' || digits.startsWith(u'0')) {
            error(name + QStringLiteral(": ticket folders are named B1, B2 ... (capital B, no "
                                        "leading zeros)"));
            continue;
        }
        bool ok = false;
        const int ticket = digits.toInt(&ok);
        if (!ok || ticket > MaxCount) {
            error(name + QStringLiteral(": a base has at most %1 tickets").arg(MaxCount));
            continue;
        }
        folders.insert(ticket, root.filePath(name));
    }
    return folders;
}

QMap<int, SourceReader::QuestionFiles> SourceReader::questionFiles(const QString& ticketFolder) {
    static const QRegularExpression fileName("^(\\d+)\\.([A-Za-z]+)$");
    const QString folderName = QFileInfo(ticketFolder).fileName();
    QMap<int, QuestionFiles> questions;
    const QDir dir(ticketFolder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
        const QString where = folderName + u'/' + name;
        const QRegularExpressionMatch match = fileName.match(name);
        const QString extension = match.captured(2).toLower();
        if (!match.hasMatch() ||
            !QStringList{"ini", "txt", "rtf", "jpg", "jpeg", "png", "gif", "bmp"}.contains(
                extension)) {
            warning(where + QStringLiteral(" is left out: a question's files are <q>.ini, <q>.txt "
                                           "or <q>.rtf, and <q>.jpg"));
            continue;
        }
        const QString digits = match.captured(1);
        const int question = digits.toInt();
        if (digits.startsWith(u'0') || question < 1 || question > MaxCount) {
            error(where + QStringLiteral(": questions are numbered 1 to %1 without leading zeros")
                              .arg(MaxCount));
            continue;
        }
        if (match.captured(2) != extension) {
            error(where +
                  QStringLiteral(": write the extension in lower case (.%1)").arg(extension));
            continue;
        }
        QuestionFiles& files = questions[question];
        const QString path = dir.filePath(name);
        if (extension == u"ini") {
            files.record = path;
        } else if (extension == u"txt" || extension == u"rtf") {
            if (!files.text.isEmpty())
                error(QStringLiteral("%1/%2: both %2.txt and %2.rtf are there; keep one")
                          .arg(folderName)
                          .arg(question));
            files.text = path;
        } else if (extension == u"jpg") {
            files.picture = path;
        } else {
            error(where + QStringLiteral(": question pictures must be JPEG files named %1.jpg")
                              .arg(question));
        }
    }
    return questions;
}

QByteArray SourceReader::readText(const QString& path) {
    const QString where = relative(path);
    QString text;
    try {
        text = readUtf8File(path);
    } catch (const SourceError&) {
        error(where + QStringLiteral(": not UTF-8 text (save it as UTF-8)"));
        return {};
    }
    const bool rtf = path.endsWith(QLatin1String(".rtf"));
    // The program takes an entry for RTF exactly when it starts with {\rtf.
    if (rtf) {
        qsizetype start = 0;
        while (start < text.size() && text[start].isSpace())
            ++start;
        text.remove(0, start);
        if (!text.startsWith(QLatin1String("{\\rtf"))) {
            error(where + QStringLiteral(": an .rtf file must start with {\\rtf"));
            return {};
        }
    } else {
        while (text.endsWith(u'\n') || text.endsWith(u'\r'))
            text.chop(1);
        if (text.startsWith(QLatin1String("{\\rtf"))) {
            error(where + QStringLiteral(": starts with {\\rtf, so it would be shown as RTF; "
                                         "name it .rtf"));
            return {};
        }
    }
    if (text.trimmed().isEmpty()) {
        error(where + QStringLiteral(": the question text is empty"));
        return {};
    }
    return encode(text, where);
}

void SourceReader::readQuestion(int ticket, int question, const QuestionFiles& files) {
    const QString name = QStringLiteral("B%1/%2").arg(ticket).arg(question);
    if (files.record.isEmpty()) {
        error(name + QStringLiteral(".ini is missing: every question needs one (its answers)"));
        return;
    }
    if (files.text.isEmpty()) {
        error(name +
              QStringLiteral(": the question text %1.txt or %1.rtf is missing").arg(question));
        return;
    }
    SourceQuestion result;
    result.ticket = ticket;
    result.question = question;
    result.text = readText(files.text);
    if (!files.picture.isEmpty()) {
        result.picture = readBytes(files.picture);
        if (!pictureDecodes(result.picture, PictureFormat::Jpeg))
            error(relative(files.picture) + QStringLiteral(": does not decode as a JPEG picture"));
    }

    const QString iniName = name + QStringLiteral(".ini");
    QList<KeyValueEntry> entries;
    try {
        entries = parseKeyValueFile(readBytes(files.record), iniName);
    } catch (const SourceError& failure) {
        error(QString::fromStdString(failure.what()));
        return;
    }
    QMap<QString, KeyValueEntry> keys;
    for (const KeyValueEntry& entry : entries) {
        const QString where = QStringLiteral("%1:%2").arg(iniName).arg(entry.line);
        if (!entry.section.isEmpty())
            error(where + QStringLiteral(": a question file has no [sections]"));
        else if (!QuestionKeys.contains(entry.key))
            error(where + QStringLiteral(": unknown key %1 (known: %2)")
                              .arg(entry.key, QuestionKeys.join(", ")));
        else
            keys.insert(entry.key, entry);
    }
    auto where = [&](const QString& key) {
        return keys.contains(key) ? QStringLiteral("%1:%2").arg(iniName).arg(keys[key].line)
                                  : iniName;
    };

    std::array<QByteArray, AnswerCount> answers;
    for (int n = 1; n <= AnswerCount; ++n) {
        const QString key = QStringLiteral("answer%1").arg(n);
        answers[size_t(n - 1)] = encode(keys.value(key).value, where(key));
    }
    if (std::all_of(answers.begin(), answers.end(), [](const auto& a) { return a.isEmpty(); })) {
        error(iniName + QStringLiteral(": no answers (answer1 ... answer5)"));
        return;
    }

    QList<int> right;
    const QString rightText = keys.value("right").value;
    for (const QString& part : rightText.split(QRegularExpression("[,\\s]+"), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int n = part.toInt(&ok);
        if (!ok || n < 1 || n > AnswerCount) {
            error(where("right") +
                  QStringLiteral(": '%1' is not an answer number 1 to 5").arg(part));
            return;
        }
        if (answers[size_t(n - 1)].isEmpty()) {
            error(where("right") +
                  QStringLiteral(": answer %1 is marked right but has no text").arg(n));
            return;
        }
        if (!right.contains(n))
            right << n;
    }
    if (right.isEmpty()) {
        error(where("right") + QStringLiteral(": give the right answer(s), for example right = 2"));
        return;
    }
    const QString multipleText = keys.value("multiple").value.toLower();
    if (!QStringList{"", "yes", "no"}.contains(multipleText)) {
        error(where("multiple") + QStringLiteral(": multiple is yes or no"));
        return;
    }
    if (multipleText == u"no" && right.size() > 1) {
        error(where("multiple") +
              QStringLiteral(": several right answers need the switches (multiple = yes)"));
        return;
    }
    const bool multiple = multipleText == u"yes" || right.size() > 1;

    result.record.add("vop", "yes", multiple ? "0" : QByteArray::number(right.first()));
    for (int n = 1; n <= AnswerCount; ++n) {
        const QByteArray& answer = answers[size_t(n - 1)];
        if (answer.isEmpty())
            continue;
        const QByteArray number = QByteArray::number(n);
        result.record.add("vop", "ot" + number, answer);
        if (multiple)
            result.record.add("vop", "V" + number, right.contains(n) ? "1" : "0");
    }
    const QString index = keys.value("literature").value;
    const QString punkt = keys.value("punkt").value;
    if (!index.isEmpty()) {
        if (!literatureIndexes_.contains(index))
            error(where("literature") +
                  QStringLiteral(": base.ini has no [Literature] L%1 for this index").arg(index));
        result.record.add("Literature", "Index", encode(index, where("literature")));
    }
    if (!punkt.isEmpty()) {
        if (index.isEmpty())
            error(where("punkt") + QStringLiteral(": punkt needs a literature index"));
        result.record.add("Literature", "Punkt", encode(punkt, where("punkt")));
    }
    source_.questions << result;
}

void SourceReader::writeDescriptor() {
    RecordContainerWriter& descriptor = source_.descriptor;
    auto addBase = [&](const char* key) {
        for (const KeyValueEntry& entry : baseEntries_) {
            if (entry.key == QLatin1String(key) && !entry.value.isEmpty())
                descriptor.add("Base", key,
                               encode(entry.value, QStringLiteral("base.ini:%1").arg(entry.line)));
        }
    };
    addBase("Name");
    addBase("Descript");
    descriptor.add("Base", "Vop", QByteArray::number(source_.questionsPerTicket));
    descriptor.add("Base", "Bil", QByteArray::number(source_.tickets));
    addBase("Pozdr");
    addBase("Izdevat");
    for (const KeyValueEntry& entry : literatureEntries_) {
        descriptor.add("Literature", entry.key.toLatin1(),
                       encode(entry.value, QStringLiteral("base.ini:%1").arg(entry.line)));
    }
}

void SourceReader::read() {
    if (!QFileInfo(folder_).isDir()) {
        error(folder_ + QStringLiteral(": no such folder"));
        return;
    }
    readDescriptor();
    readSkin();
    const QMap<int, QString> tickets = ticketFolders();
    if (tickets.isEmpty()) {
        error(QStringLiteral("no ticket folders (B1, B2 ...) in %1").arg(folder_));
        return;
    }
    source_.tickets = tickets.lastKey();
    for (int ticket = 1; ticket <= source_.tickets; ++ticket) {
        if (!tickets.contains(ticket)) {
            error(QStringLiteral("B%1 is missing: tickets are numbered 1 to %2 without gaps")
                      .arg(ticket)
                      .arg(source_.tickets));
            continue;
        }
        const QMap<int, QuestionFiles> questions = questionFiles(tickets[ticket]);
        const int count = questions.isEmpty() ? 0 : questions.lastKey();
        if (count == 0) {
            error(QStringLiteral("B%1 holds no questions").arg(ticket));
            continue;
        }
        if (source_.questionsPerTicket == 0)
            source_.questionsPerTicket = count;
        else if (count != source_.questionsPerTicket)
            error(QStringLiteral("B%1 has %2 questions but B1 has %3: every ticket needs the same "
                                 "number")
                      .arg(ticket)
                      .arg(count)
                      .arg(source_.questionsPerTicket));
        for (int question = 1; question <= count; ++question) {
            if (!questions.contains(question)) {
                error(QStringLiteral("B%1/%2.ini is missing: questions are numbered 1 to %3 "
                                     "without gaps")
                          .arg(ticket)
                          .arg(question)
                          .arg(count));
                continue;
            }
            readQuestion(ticket, question, questions[question]);
        }
    }
    writeDescriptor();
}

QString writeName(const QString& entryName) {
    QString name = entryName;
    return name.replace(u'\\', u'/');
}

} // namespace

BaseSource loadBaseSource(const QString& folder) {
    BaseSource source;
    SourceReader(folder, source).read();
    return source;
}

void writeBaseArchive(const BaseSource& source, const QString& path) {
    BaseArchiveWriter writer;
    writer.addEntry("base.dni", source.descriptor.bytes());
    if (!source.mainPicture.isEmpty())
        writer.addEntry("Skin/main.jpg", source.mainPicture);
    if (!source.goodAnimation.isEmpty())
        writer.addEntry("Skin/good.gif", source.goodAnimation);
    if (!source.badAnimation.isEmpty())
        writer.addEntry("Skin/bad.gif", source.badAnimation);
    for (const SourceQuestion& question : source.questions) {
        const int t = question.ticket;
        const int q = question.question;
        writer.addEntry(writeName(questionTextEntry(t, q)), question.text);
        if (!question.picture.isEmpty())
            writer.addEntry(writeName(questionPictureEntry(t, q)), question.picture);
        writer.addEntry(writeName(questionRecordEntry(t, q)),
                        cipherQuestionRecord(question.record.bytes()));
    }
    writer.write(path);
}

} // namespace korvel
