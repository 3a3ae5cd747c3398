#include "aiken_import.h"

#include "plain_text_file.h"
#include "question_admission.h"

#include <QRegularExpression>

namespace korvel {

namespace {

class AikenReader {
public:
    QuestionBank read(const QByteArray& bytes);

private:
    void line(QStringView text, int number);
    void finish(QChar right, int number);
    void abandon(const QString& why);

    QuestionBank bank_;
    QString text_;
    QList<BankAnswer> answers_;
    bool broken_ = false; // skip to the ANSWER line or a blank line
};

QuestionBank AikenReader::read(const QByteArray& bytes) {
    const QString text = decodeUtf8File(bytes, &bank_.warnings);
    int number = 0;
    for (const QStringView each : QStringView(text).split(u'\n'))
        line(each.trimmed(), ++number);
    if (!text_.isEmpty() && !broken_)
        abandon(QStringLiteral("has no ANSWER line"));
    return std::move(bank_);
}

void AikenReader::abandon(const QString& why) {
    bank_.warnings << aboutQuestion(nameFromText(text_), why + QStringLiteral("; left out"));
    broken_ = true;
}

void AikenReader::line(QStringView text, int number) {
    static const QRegularExpression option(QStringLiteral("^([A-Z])[.)]\\s+(.*)$"));
    static const QRegularExpression answer(QStringLiteral("^ANSWER\\s*:\\s*(\\S*)\\s*$"),
                                           QRegularExpression::CaseInsensitiveOption);
    const auto reset = [this] {
        text_.clear();
        answers_.clear();
        broken_ = false;
    };
    const QRegularExpressionMatch answerLine = answer.match(text);
    if (answerLine.hasMatch()) {
        if (!broken_ && !text_.isEmpty()) {
            const QString letter = answerLine.captured(1);
            finish(letter.size() == 1 ? letter[0].toUpper() : QChar(), number);
        }
        reset();
        return;
    }
    if (text.isEmpty()) {
        if (broken_) {
            reset();
        } else if (!answers_.isEmpty()) {
            // Blank lines may stand between the answers and the ANSWER line.
        } else if (!text_.isEmpty()) {
            text_ += u'\n';
        }
        return;
    }
    if (broken_)
        return;
    const QRegularExpressionMatch optionLine = option.match(text);
    const QChar expected = QChar(char16_t(u'A' + answers_.size()));
    if (!text_.trimmed().isEmpty() && optionLine.hasMatch() &&
        optionLine.captured(1)[0] == expected) {
        answers_ << BankAnswer{optionLine.captured(2), 0};
        return;
    }
    if (!answers_.isEmpty()) {
        abandon(QStringLiteral("line %1 is neither answer %2 nor the ANSWER line")
                    .arg(number)
                    .arg(expected));
        return;
    }
    if (!text_.isEmpty() && !text_.endsWith(u'\n'))
        text_ += u'\n';
    text_ += text;
}

void AikenReader::finish(QChar right, int number) {
    BankQuestion question;
    question.text = text_.trimmed();
    question.name = nameFromText(question.text);
    question.answers = answers_;
    const qsizetype index = right.isNull() ? -1 : right.unicode() - u'A';
    if (index < 0 || index >= answers_.size()) {
        bank_.warnings << aboutQuestion(
            question.name,
            QStringLiteral("the ANSWER line %1 names no answer of it; left out").arg(number));
        return;
    }
    question.answers[index].fraction = 100;
    admitQuestion(std::move(question), bank_);
}

} // namespace

QuestionBank importAiken(const QByteArray& aiken) {
    return AikenReader().read(aiken);
}

} // namespace korvel
