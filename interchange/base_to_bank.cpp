#include "base_to_bank.h"

#include "basestore/base_archive.h"
#include "basestore/question_record.h"
#include "richtext/base_text.h"
#include "richtext/rtf_reader.h"
#include "tools/korvelbase/base_dump.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>

namespace korvel {

namespace {

bool holdsImages(const QTextDocument& document) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            if (fragment.fragment().charFormat().isImageFormat())
                return true;
        }
    }
    return false;
}

class BankSink : public DumpSink {
public:
    explicit BankSink(BaseAsBank& result)
        : result_(result) {}

    void base(const DumpedBase& base) override {
        path_ = base.path;
        result_.name = base.name.trimmed();
        if (base.error)
            result_.error = *base.error;
    }
    void question(const DumpedQuestion& dumped) override;
    void finish() override {}

private:
    BaseAsBank& result_;
    QString path_;
    Archiver archiver_;
};

void BankSink::question(const DumpedQuestion& dumped) {
    BankQuestion question;
    question.name = QStringLiteral("Билет %1, вопрос %2").arg(dumped.ticket).arg(dumped.question);
    question.category = QStringLiteral("%1/Билет %2")
                            .arg(result_.name.isEmpty() ? QStringLiteral("База") : result_.name)
                            .arg(dumped.ticket);
    QStringList& warnings = result_.bank.warnings;
    if (dumped.error) {
        warnings << aboutQuestion(question.name, *dumped.error + QStringLiteral("; left out"));
        return;
    }
    QByteArray text;
    try {
        text = readArchiveEntry(archiver_, path_, questionTextEntry(dumped.ticket, dumped.question))
                   .bytes();
    } catch (const ArchiveError& error) {
        warnings << aboutQuestion(question.name, QString::fromStdString(error.what()) +
                                                     QStringLiteral("; left out"));
        return;
    }
    if (isRtf(text)) {
        const auto document = loadQuestionText(text);
        question.html = true;
        question.text = htmlBody(document->toHtml());
        if (holdsImages(*document))
            warnings << aboutQuestion(question.name,
                                      QStringLiteral("a picture inside its text is left out"));
    } else {
        question.text = fromBaseText(text);
    }
    question.picture = dumped.pictureBytes;
    question.single = dumped.answerMode != 0;
    int answers = 0;
    int right = 0; // right answers that have a text
    for (int n = 1; n <= AnswerCount; ++n) {
        if (dumped.answers[size_t(n - 1)]) {
            ++answers;
            right += dumped.right.contains(n) ? 1 : 0;
        }
    }
    for (int n = 1; n <= AnswerCount; ++n) {
        const std::optional<QString>& answer = dumped.answers[size_t(n - 1)];
        if (!answer)
            continue;
        const bool isRight = dumped.right.contains(n);
        double fraction = 0;
        if (isRight)
            fraction = 100.0 / double(right);
        else if (!question.single && answers > right)
            fraction = -100.0 / double(answers - right);
        question.answers << BankAnswer{
            QString(*answer).replace(QLatin1String("\r\n"), QLatin1String("\n")), fraction};
    }
    if (right == 0) {
        warnings << aboutQuestion(question.name, QStringLiteral("has no right answer; left out"));
        return;
    }
    result_.bank.questions << question;
}

} // namespace

QString htmlBody(const QString& html) {
    const qsizetype open = html.indexOf(QLatin1String("<body"));
    const qsizetype start = open < 0 ? -1 : html.indexOf(u'>', open);
    const qsizetype end = html.lastIndexOf(QLatin1String("</body>"));
    if (start < 0 || end < start)
        return html;
    // toHtml() keeps tabs and runs of blanks through a style sheet in the
    // head, which a bank's text does not carry; the same rule inline.
    return html.mid(start + 1, end - start - 1)
        .trimmed()
        .replace(QLatin1String("<p style=\""), QLatin1String("<p style=\"white-space:pre-wrap;"))
        .replace(QLatin1String("<li style=\""), QLatin1String("<li style=\"white-space:pre-wrap;"));
}

BaseAsBank readBaseAsBank(const QString& path) {
    BaseAsBank result;
    BankSink sink(result);
    dumpBase(path, sink);
    return result;
}

} // namespace korvel
