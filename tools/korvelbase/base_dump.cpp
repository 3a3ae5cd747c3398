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

// The entry's bytes, or nullopt when it is missing or cannot be read.
std::optional<QByteArray> readEntry(Archiver& archiver, const QString& path, const QString& entry) {
    try {
        return readArchiveEntry(archiver, path, entry).bytes();
    } catch (const ArchiveError&) {
        return std::nullopt;
    }
}

DumpedBase readBase(const OpenedBase& opened, ByteStream& descriptor) {
    DumpedBase base;
    base.path = opened.path;
    base.mainPicture = !opened.mainPicture.isEmpty();
    base.goodAnimation = !opened.goodAnimation.isEmpty();
    base.badAnimation = !opened.badAnimation.isEmpty();
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

DumpedQuestion readQuestion(Archiver& archiver, const QString& path, ByteStream& descriptor, int t,
                            int q) {
    DumpedQuestion result;
    result.ticket = t;
    result.question = q;

    const std::optional<QByteArray> text = readEntry(archiver, path, questionTextEntry(t, q));
    result.textPresent = text.has_value();
    result.textBytes = text ? text->size() : 0;
    result.textRtf = text && text->startsWith("{\\rtf");
    result.picture =
        !readEntry(archiver, path, questionPictureEntry(t, q)).value_or(QByteArray()).isEmpty();

    QuestionRecord keys;
    try {
        ByteStream record = ReadQuestionRecord(archiver, path, t, q);
        keys = readQuestionKeys(record);
    } catch (const std::runtime_error& error) {
        result.error = questionRecordEntry(t, q) + QStringLiteral(": ") + describe(error);
        keys = QuestionRecord();
        keys.right[0] = true; // an empty record reads as mode 1
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
        result.literaturePage = decodeWindows1251(literaturePage(descriptor, keys.literatureIndex));
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
        for (int t = 1; t <= opened.counts.tickets; ++t) {
            for (int q = 1; q <= opened.counts.questionsPerTicket; ++q) {
                const DumpedQuestion question = readQuestion(archiver, path, descriptor, t, q);
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
    const auto yesNo = [](bool value) { return value ? "yes" : "no"; };
    out_ << "Base:        " << base.path << '\n'
         << "Name:        " << base.name << '\n'
         << "Descript:    " << indented(base.descript) << '\n'
         << "Tickets:     " << (base.tickets ? QString::number(*base.tickets) : "-") << '\n'
         << "Questions:   "
         << (base.questionsPerTicket ? QString::number(*base.questionsPerTicket) : "-")
         << " per ticket\n"
         << "Pictures:    main.jpg " << yesNo(base.mainPicture) << ", good.gif "
         << yesNo(base.goodAnimation) << ", bad.gif " << yesNo(base.badAnimation) << '\n';
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
         << (question.picture ? ", picture" : "") << ", "
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
