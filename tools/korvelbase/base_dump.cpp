#include "base_dump.h"

#include "basestore/base_catalogue.h"
#include "basestore/question_record.h"
#include "basestore/record_container.h"
#include "text_codec.h"

namespace korvel {

namespace {

QStringList decodeLines(const QList<QByteArray>& lines) {
    QStringList decoded;
    for (const QByteArray& line : lines)
        decoded << decodeWindows1251(line);
    return decoded;
}

QString describe(const std::exception& error) {
    return QString::fromStdString(error.what());
}

// Reads the questions of one base. A descriptor may announce a million
// questions of which the archive holds none, so an entry is looked up in the
// archive's directory (kept open in `index`) before the program's own
// readers read it.
class QuestionReader {
public:
    QuestionReader(const QString& path, ByteStream& descriptor)
        : path_(path)
        , descriptor_(descriptor) {
        index_.setFileName(path);
        try {
            index_.ArchiveOpen();
        } catch (const ArchiveError&) {
            // Every read below then fails on its own.
        }
    }

    DumpedQuestion read(int t, int q);

private:
    bool absent(const QString& entry) const {
        return index_.isOpen() && !index_.ArchiveHasEntry(entry);
    }

    // The entry's bytes; nullopt when it is missing or cannot be read, and
    // then `damaged` tells which.
    std::optional<QByteArray> readEntry(const QString& entry, bool* damaged = nullptr) {
        if (absent(entry))
            return std::nullopt;
        try {
            return readArchiveEntry(archiver_, path_, entry).bytes();
        } catch (const EntryNotFoundError&) {
        } catch (const ArchiveError&) {
            if (damaged)
                *damaged = true;
        }
        return std::nullopt;
    }

    QString path_;
    ByteStream& descriptor_;
    Archiver archiver_;
    Archiver index_;
};

DumpedBase readBase(const OpenedBase& opened, ByteStream& descriptor) {
    DumpedBase base;
    base.path = opened.path;
    base.mainPicture = !opened.mainPicture.isEmpty();
    base.goodAnimation = !opened.goodAnimation.isEmpty();
    base.badAnimation = !opened.badAnimation.isEmpty();
    base.damagedPictures = opened.damagedEntries;
    if (!opened.usable())
        base.error = opened.error;
    if (opened.status == OpenedBase::Status::Ok ||
        opened.status == OpenedBase::Status::CountsOutOfRange) {
        base.tickets = opened.counts.tickets;
        base.questionsPerTicket = opened.counts.questionsPerTicket;
    }
    // Each text on its own: a malformed record costs only what it hides.
    const auto read = [&](auto lookup) {
        try {
            lookup();
        } catch (const RecordConversionError& error) {
            if (!base.error)
                base.error = QStringLiteral("base.dni: ") + describe(error);
        }
    };
    read([&] { base.name = decodeWindows1251(descriptorName(descriptor)); });
    read([&] { base.descript = decodeWindows1251(descriptorDescript(descriptor)); });
    read([&] { base.pozdr = decodeLines(descriptorPozdr(descriptor)); });
    read([&] { base.izdevat = decodeLines(descriptorIzdevat(descriptor)); });
    return base;
}

DumpedQuestion QuestionReader::read(int t, int q) {
    DumpedQuestion result;
    result.ticket = t;
    result.question = q;

    const std::optional<QByteArray> text = readEntry(questionTextEntry(t, q));
    result.textPresent = text.has_value();
    result.textBytes = text ? text->size() : 0;
    result.textRtf = text && text->startsWith("{\\rtf");
    result.pictureBytes =
        readEntry(questionPictureEntry(t, q), &result.pictureDamaged).value_or(QByteArray());
    result.picture = !result.pictureBytes.isEmpty();

    QuestionRecord keys;
    const QString recordEntry = questionRecordEntry(t, q);
    const auto failed = [&](const std::exception& error) {
        result.error = recordEntry + QStringLiteral(": ") + describe(error);
        keys = QuestionRecord();
        keys.right[0] = true; // an empty record reads as mode 1
    };
    if (absent(recordEntry)) {
        failed(EntryNotFoundError(recordEntry));
    } else {
        try {
            ByteStream record = ReadQuestionRecord(archiver_, path_, t, q);
            keys = readQuestionKeys(record);
        } catch (const std::runtime_error& error) {
            failed(error);
        }
    }
    result.answerMode = keys.answerMode;
    for (int n = 1; n <= AnswerCount; ++n) {
        if (keys.hasAnswer(n))
            result.answers[size_t(n - 1)] = decodeWindows1251(keys.answers[size_t(n - 1)]);
    }
    result.right = keys.rightAnswers();
    result.literatureIndex = decodeWindows1251(keys.literatureIndex);
    result.literaturePunkt = decodeWindows1251(keys.literaturePunkt);
    try {
        result.literaturePage =
            decodeWindows1251(literaturePage(descriptor_, keys.literatureIndex));
    } catch (const RecordConversionError& error) {
        if (!result.error)
            result.error = QStringLiteral("base.dni: ") + describe(error);
    }
    return result;
}

QString jsonNumber(const std::optional<int>& value) {
    return value ? QString::number(*value) : QStringLiteral("null");
}

QString jsonText(const std::optional<QString>& value) {
    return value ? jsonString(*value) : QStringLiteral("null");
}

QString jsonStrings(const QStringList& values) {
    QStringList quoted;
    for (const QString& value : values)
        quoted << jsonString(value);
    return u'[' + quoted.join(u", ") + u']';
}

QString jsonBool(bool value) {
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

} // namespace

bool dumpBase(const QString& path, DumpSink& sink) {
    Archiver archiver;
    OpenedBase opened = openBase(archiver, path);
    ByteStream& descriptor = opened.descriptor;
    const DumpedBase base = readBase(opened, descriptor);
    sink.base(base);
    bool clean = !base.error;
    if (opened.usable()) {
        QuestionReader reader(path, descriptor);
        for (int t = 1; t <= opened.counts.tickets; ++t) {
            for (int q = 1; q <= opened.counts.questionsPerTicket; ++q) {
                const DumpedQuestion question = reader.read(t, q);
                clean = clean && !question.error;
                sink.question(question);
            }
        }
    }
    sink.finish();
    return clean;
}

QString jsonString(const QString& text) {
    QString out;
    out.reserve(text.size() + 2);
    out += u'"';
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"':
            out += QLatin1String("\\\"");
            break;
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += u'"';
    return out;
}

void JsonDumpWriter::base(const DumpedBase& base) {
    out_ << "{\"name\": " << jsonString(base.name)
         << ", \"descript\": " << jsonString(base.descript)
         << ", \"tickets\": " << jsonNumber(base.tickets)
         << ", \"questions_per_ticket\": " << jsonNumber(base.questionsPerTicket)
         << ",\n \"pozdr\": " << jsonStrings(base.pozdr)
         << ",\n \"izdevat\": " << jsonStrings(base.izdevat)
         << ",\n \"pictures\": {\"main\": " << jsonBool(base.mainPicture)
         << ", \"good\": " << jsonBool(base.goodAnimation)
         << ", \"bad\": " << jsonBool(base.badAnimation)
         << "},\n \"error\": " << jsonText(base.error) << ",\n \"questions\": [";
}

void JsonDumpWriter::question(const DumpedQuestion& question) {
    QStringList answers;
    for (const std::optional<QString>& answer : question.answers)
        answers << jsonText(answer);
    QStringList right;
    for (int n : question.right)
        right << QString::number(n);
    out_ << (firstQuestion_ ? "\n  " : ",\n  ") << "{\"ticket\": " << question.ticket
         << ", \"question\": " << question.question
         << ", \"text\": {\"present\": " << jsonBool(question.textPresent)
         << ", \"rtf\": " << jsonBool(question.textRtf) << ", \"bytes\": " << question.textBytes
         << "}, \"picture\": " << jsonBool(question.picture)
         << ", \"answer_mode\": " << question.answerMode << ", \"answers\": ["
         << answers.join(u", ") << "], \"right\": [" << right.join(u", ")
         << "], \"literature\": {\"index\": " << jsonString(question.literatureIndex)
         << ", \"punkt\": " << jsonString(question.literaturePunkt)
         << ", \"page\": " << jsonString(question.literaturePage)
         << "}, \"error\": " << jsonText(question.error) << '}';
    firstQuestion_ = false;
}

void JsonDumpWriter::finish() {
    out_ << (firstQuestion_ ? "]}\n" : "\n ]}\n");
}

void TextDumpWriter::base(const DumpedBase& base) {
    const auto indented = [](const QString& text) {
        QString copy = text;
        return copy.replace(QLatin1String("\r\n"), QLatin1String("\n    "));
    };
    const auto yesNo = [&base](bool value, const char* entry) {
        return value ? "yes" : base.damagedPictures.contains(entry) ? "damaged" : "no";
    };
    out_ << "Base:        " << base.path << '\n'
         << "Name:        " << base.name << '\n'
         << "Descript:    " << indented(base.descript) << '\n'
         << "Tickets:     " << (base.tickets ? QString::number(*base.tickets) : "-") << '\n'
         << "Questions:   "
         << (base.questionsPerTicket ? QString::number(*base.questionsPerTicket) : "-")
         << " per ticket\n"
         << "Pictures:    main.jpg " << yesNo(base.mainPicture, "Skin\\main.jpg") << ", good.gif "
         << yesNo(base.goodAnimation, "Skin\\good.gif") << ", bad.gif "
         << yesNo(base.badAnimation, "Skin\\bad.gif") << '\n';
    for (const QString& line : base.pozdr)
        out_ << "Pozdr:       " << line << '\n';
    for (const QString& line : base.izdevat)
        out_ << "Izdevat:     " << line << '\n';
    if (base.error) {
        out_ << "ERROR:       " << *base.error << '\n';
        ++errors_;
    }
}

void TextDumpWriter::question(const DumpedQuestion& question) {
    ++questions_;
    out_ << "\nTicket " << question.ticket << ", question " << question.question << ": text "
         << (question.textPresent ? QStringLiteral("%1 bytes%2")
                                        .arg(question.textBytes)
                                        .arg(question.textRtf ? " (RTF)" : " (plain)")
                                  : QStringLiteral("missing"))
         << (question.picture          ? ", picture"
             : question.pictureDamaged ? ", picture damaged"
                                       : "")
         << ", "
         << (question.answerMode == 0 ? QStringLiteral("several answers")
                                      : QStringLiteral("one answer"))
         << '\n';
    for (int n = 1; n <= int(question.answers.size()); ++n) {
        const std::optional<QString>& answer = question.answers[size_t(n - 1)];
        if (!answer)
            continue;
        QString text = *answer;
        out_ << "  " << (question.right.contains(n) ? '*' : ' ') << n << ". "
             << text.replace(QLatin1String("\r\n"), QLatin1String("\n      ")) << '\n';
    }
    if (!question.literatureIndex.isEmpty() || !question.literaturePunkt.isEmpty())
        out_ << "  Literature: L" << question.literatureIndex << " = "
             << (question.literaturePage.isEmpty() ? QStringLiteral("(none)")
                                                   : question.literaturePage)
             << ", at " << question.literaturePunkt << '\n';
    if (question.error) {
        out_ << "  ERROR: " << *question.error << '\n';
        ++errors_;
    }
}

void TextDumpWriter::finish() {
    out_ << '\n' << questions_ << " questions, " << errors_ << " with errors\n";
}

} // namespace korvel
