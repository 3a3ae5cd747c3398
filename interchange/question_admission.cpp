#include "question_admission.h"

namespace korvel {

namespace {

// Moodle writes thirds as 33.33333; anything this close to 100 is full marks.
bool fullMarks(double fraction) {
    return fraction >= 99.9;
}

} // namespace

QList<int> rightAnswers(const BankQuestion& question) {
    QList<int> right;
    for (qsizetype k = 0; k < question.answers.size(); ++k) {
        const double fraction = question.answers[k].fraction;
        if (question.single ? fullMarks(fraction) : fraction > 0)
            right << int(k + 1);
    }
    return right;
}

void admitQuestion(BankQuestion question, QuestionBank& bank) {
    const auto refuse = [&](const QString& why) {
        bank.warnings << aboutQuestion(question.name, why + QStringLiteral("; left out"));
    };
    const qsizetype count = question.answers.size();
    if (count > MaxBankAnswers)
        return refuse(QStringLiteral("has %1 answers, a base question holds at most %2")
                          .arg(count)
                          .arg(MaxBankAnswers));
    if (count < 2)
        return refuse(
            QStringLiteral("has %1 answer(s), a base question needs at least 2").arg(count));
    for (qsizetype k = 0; k < count; ++k) {
        BankAnswer& answer = question.answers[k];
        answer.text = cleanText(answer.text).trimmed();
        if (answer.text.isEmpty())
            return refuse(QStringLiteral("answer %1 has no text").arg(k + 1));
    }
    const QList<int> right = rightAnswers(question);
    if (right.isEmpty())
        return refuse(question.single ? QStringLiteral("no answer earns full marks")
                                      : QStringLiteral("no answer earns marks"));
    if (question.single && right.size() > 1)
        return refuse(QStringLiteral("%1 answers earn full marks each, the base cannot hold "
                                     "a choice of right answers")
                          .arg(right.size()));
    if (question.single) {
        for (qsizetype k = 0; k < count; ++k) {
            const double fraction = question.answers[k].fraction;
            if (fraction > 0 && !fullMarks(fraction))
                bank.warnings << aboutQuestion(
                    question.name,
                    QStringLiteral("the partial marks of answer %1 are not kept").arg(k + 1));
        }
    }
    question.text = cleanText(question.text);
    bank.questions << std::move(question);
}

QString cleanText(const QString& text) {
    QString clean;
    clean.reserve(text.size());
    for (qsizetype k = 0; k < text.size(); ++k) {
        const QChar c = text[k];
        if (c == u'\r') {
            clean += u'\n';
            if (k + 1 < text.size() && text[k + 1] == u'\n')
                ++k;
        } else if (c == u'\n' || c == u'\t' || c.unicode() >= 0x20) {
            clean += c;
        }
    }
    return clean;
}

} // namespace korvel
