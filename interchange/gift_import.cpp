#include "gift_import.h"

#include "embedded_picture.h"
#include "html_content.h"
#include "plain_text_file.h"
#include "question_admission.h"

#include <QRegularExpression>

namespace korvel {

namespace {

bool isSpecial(QChar c) {
    return c == u'~' || c == u'=' || c == u'#' || c == u'{' || c == u'}' || c == u':';
}

// Position of the first unescaped `c` at or after `from`; -1 when none.
qsizetype findUnescaped(QStringView text, QChar c, qsizetype from = 0) {
    for (qsizetype k = from; k < text.size(); ++k) {
        if (text[k] == u'\\')
            ++k;
        else if (text[k] == c)
            return k;
    }
    return -1;
}

qsizetype findUnescaped(QStringView text, QStringView what, qsizetype from = 0) {
    for (qsizetype k = from; k + what.size() <= text.size(); ++k) {
        if (text[k] == u'\\')
            ++k;
        else if (text.mid(k, what.size()) == what)
            return k;
    }
    return -1;
}

QString unescape(QStringView text) {
    QString plain;
    plain.reserve(text.size());
    for (qsizetype k = 0; k < text.size(); ++k) {
        if (text[k] == u'\\' && k + 1 < text.size()) {
            const QChar next = text[k + 1];
            if (isSpecial(next) || next == u'\\') {
                plain += next;
                ++k;
                continue;
            }
            if (next == u'n') {
                plain += u'\n';
                ++k;
                continue;
            }
        }
        plain += text[k];
    }
    return plain;
}

// The answers between the braces, split at the unescaped ~ and = that start
// them; what follows an unescaped # of an answer is its feedback.
struct GiftChoice {
    QChar marker;
    QString text; // still escaped
    std::optional<double> weight;
};

QList<GiftChoice> splitChoices(QStringView part) {
    QList<GiftChoice> choices;
    qsizetype k = 0;
    while (k < part.size()) {
        if (part[k] == u'\\') {
            k += 2;
            continue;
        }
        if (part.mid(k, 4) == u"####")
            break; // general feedback to the end
        if (part[k] != u'~' && part[k] != u'=') {
            ++k;
            continue;
        }
        GiftChoice choice;
        choice.marker = part[k];
        qsizetype end = k + 1;
        while (end < part.size() && part[end] != u'~' && part[end] != u'=') {
            if (part[end] == u'\\')
                ++end;
            ++end;
        }
        end = std::min(end, part.size());
        QStringView body = part.mid(k + 1, end - k - 1);
        const qsizetype feedback = findUnescaped(body, u'#');
        if (feedback >= 0)
            body = body.left(feedback);
        body = body.trimmed();
        static const QRegularExpression weight(QStringLiteral("^%(-?[0-9]+(?:\\.[0-9]*)?)%"));
        const QRegularExpressionMatch match = weight.match(body);
        if (match.hasMatch()) {
            choice.weight = match.captured(1).toDouble();
            body = body.mid(match.capturedLength()).trimmed();
        }
        choice.text = body.toString();
        choices << choice;
        k = end;
    }
    return choices;
}

class GiftReader {
public:
    QuestionBank read(const QByteArray& bytes);

private:
    void readBlock(const QString& block);
    void skip(const QString& name, const QString& kind) {
        bank_.warnings << aboutQuestion(
            name, QStringLiteral("is a %1 question, which a base cannot hold; left out").arg(kind));
    }

    QuestionBank bank_;
    QString category_;
};

QuestionBank GiftReader::read(const QByteArray& bytes) {
    const QString text = decodeUtf8File(bytes, &bank_.warnings);
    QString block;
    const auto flush = [&] {
        if (!block.trimmed().isEmpty())
            readBlock(block);
        block.clear();
    };
    for (const QStringView line : QStringView(text).split(u'\n')) {
        const QStringView trimmed = line.trimmed();
        if (trimmed.startsWith(u"//"))
            continue;
        if (trimmed.isEmpty()) {
            flush();
        } else if (block.trimmed().isEmpty() && trimmed.startsWith(u"$CATEGORY:")) {
            category_ = categoryPath(trimmed.mid(10).toString());
            block.clear();
        } else {
            block += line;
            block += u'\n';
        }
    }
    flush();
    return std::move(bank_);
}

void GiftReader::readBlock(const QString& whole) {
    QStringView rest = QStringView(whole).trimmed();
    QString title;
    if (rest.startsWith(u"::")) {
        const qsizetype end = findUnescaped(rest, u"::", 2);
        if (end >= 0) {
            title = unescape(rest.mid(2, end - 2)).trimmed();
            rest = rest.mid(end + 2).trimmed();
        }
    }
    bool html = false;
    static const QRegularExpression marker(QStringLiteral("^\\[(html|plain|moodle|markdown)\\]"));
    const QRegularExpressionMatch format = marker.match(rest);
    if (format.hasMatch()) {
        html = format.captured(1) == u"html";
        rest = rest.mid(format.capturedLength());
    }
    const qsizetype open = findUnescaped(rest, u'{');
    const qsizetype close = open < 0 ? -1 : findUnescaped(rest, u'}', open + 1);
    QString text = unescape(open < 0 ? rest : rest.left(open)).trimmed();
    const QString after = close < 0 ? QString() : unescape(rest.mid(close + 1)).trimmed();
    if (!after.isEmpty())
        text += QStringLiteral(" _____ ") + after;
    const QString name =
        !title.isEmpty() ? title : nameFromText(html ? htmlToPlainText(text) : text);
    if (open < 0)
        return skip(name, QStringLiteral("description"));
    if (close < 0) {
        bank_.warnings << aboutQuestion(name,
                                        QStringLiteral("its answers have no closing }; left out"));
        return;
    }

    const QStringView part = rest.mid(open + 1, close - open - 1).trimmed();
    BankQuestion question;
    question.category = category_;
    question.name = name;
    question.html = html;
    if (html)
        moveImagesToPicture(question, text, {}, bank_.warnings);
    else
        question.text = text;

    static const QRegularExpression trueFalse(QStringLiteral("^(T|TRUE|F|FALSE)\\s*(#.*)?$"),
                                              QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch truth = trueFalse.match(part);
    if (part.isEmpty())
        return skip(name, QStringLiteral("essay"));
    if (part.startsWith(u'#'))
        return skip(name, QStringLiteral("numerical"));
    if (truth.hasMatch()) {
        const bool isTrue = truth.captured(1).startsWith(u'T');
        question.answers = {{QStringLiteral("Верно"), isTrue ? 100.0 : 0.0},
                            {QStringLiteral("Неверно"), isTrue ? 0.0 : 100.0}};
        return admitQuestion(std::move(question), bank_);
    }
    const QList<GiftChoice> choices = splitChoices(part);
    bool wrongOnes = false;
    bool rightOnes = false;
    for (const GiftChoice& choice : choices) {
        if (choice.marker == u'=' && findUnescaped(choice.text, u"->") >= 0)
            return skip(name, QStringLiteral("matching"));
        (choice.marker == u'~' ? wrongOnes : rightOnes) = true;
    }
    if (choices.isEmpty())
        return skip(name, QStringLiteral("short answer"));
    if (!wrongOnes)
        return skip(name, QStringLiteral("short answer"));
    question.single = rightOnes;
    for (const GiftChoice& choice : choices) {
        const double fraction = choice.weight.value_or(choice.marker == u'=' ? 100.0 : 0.0);
        const QString answer = unescape(choice.text);
        question.answers << BankAnswer{html ? htmlToPlainText(answer) : answer, fraction};
    }
    admitQuestion(std::move(question), bank_);
}

} // namespace

QuestionBank importGift(const QByteArray& gift) {
    return GiftReader().read(gift);
}

} // namespace korvel
