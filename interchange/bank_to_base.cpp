#include "bank_to_base.h"

#include "base_picture.h"
#include "html_content.h"
#include "question_admission.h"
#include "richtext/rtf_reader.h"
#include "richtext/rtf_writer.h"
#include "tools/korvelbase/text_codec.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextFrame>
#include <QTextTable>

namespace korvel {

namespace {

// Windows-1251 bytes with '?' for each character the page lacks; *replaced
// tells whether there was one.
QByteArray encodeReplacing(const QString& text, bool* replaced) {
    if (const std::optional<QByteArray> bytes = encodeWindows1251(text))
        return *bytes;
    QByteArray bytes;
    for (qsizetype k = 0; k < text.size(); ++k) {
        const qsizetype length = text[k].isHighSurrogate() && k + 1 < text.size() ? 2 : 1;
        if (const std::optional<QByteArray> one =
                encodeWindows1251(QStringView(text).mid(k, length))) {
            bytes += *one;
        } else {
            bytes += '?';
            *replaced = true;
        }
        k += length - 1;
    }
    return bytes;
}

// Qt's HTML reader puts an empty paragraph between a table and the paragraph
// after it that its own HTML writer never wrote; left in, every trip of a
// text through HTML would grow it by an empty line.
void dropBlankAfterTables(QTextDocument& document) {
    const QList<QTextFrame*> frames = document.rootFrame()->childFrames();
    for (auto frame = frames.rbegin(); frame != frames.rend(); ++frame) {
        if (!qobject_cast<QTextTable*>(*frame))
            continue;
        const QTextBlock after = document.findBlock((*frame)->lastPosition() + 1);
        const QTextBlock next = after.next();
        if (!after.isValid() || !after.text().isEmpty() || !next.isValid() ||
            document.rootFrame() != QTextCursor(next).currentFrame() ||
            QTextCursor(after).currentFrame() != document.rootFrame())
            continue;
        // The blank block survives the merge, so it takes the next one's formats.
        QTextCursor cursor(after);
        cursor.setBlockFormat(next.blockFormat());
        cursor.setBlockCharFormat(next.charFormat());
        cursor.setPosition(next.position(), QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
}

} // namespace

QByteArray baseQuestionText(const BankQuestion& question) {
    OfflineDocument document;
    if (question.html) {
        document.setHtml(question.text);
        dropBlankAfterTables(document);
    } else {
        const std::optional<QByteArray> plain = encodeWindows1251(withCrLf(question.text));
        // Plain bytes that begin like RTF would be read as RTF.
        if (plain && !isRtf(*plain))
            return *plain;
        document.setPlainText(question.text);
    }
    return writeRtf(document);
}

BaseSource bankToBase(const QuestionBank& bank, const TicketDealing& dealing,
                      const BaseDescription& description) {
    BaseSource source;
    source.tickets = int(dealing.tickets.size());
    source.questionsPerTicket = source.tickets > 0 ? int(dealing.tickets.first().size()) : 0;

    const auto descriptorValue = [&](const char* key, const QString& value) {
        if (value.isEmpty())
            return;
        qsizetype bad = -1;
        const std::optional<QByteArray> bytes = encodeWindows1251(withCrLf(value), &bad);
        if (!bytes) {
            source.errors << QStringLiteral(
                                 "%1 holds a character that Windows-1251 cannot write: %2")
                                 .arg(QLatin1String(key), value.mid(bad, 1));
            return;
        }
        source.descriptor.add("Base", key, *bytes);
    };
    if (description.name.trimmed().isEmpty())
        source.errors << QStringLiteral("the base needs a name");
    descriptorValue("Name", description.name);
    descriptorValue("Descript", description.descript.join(u'\n'));
    source.descriptor.add("Base", "Vop", QByteArray::number(source.questionsPerTicket));
    source.descriptor.add("Base", "Bil", QByteArray::number(source.tickets));
    descriptorValue("Pozdr", description.pozdr.join(u'\n'));
    descriptorValue("Izdevat", description.izdevat.join(u'\n'));

    for (qsizetype t = 0; t < dealing.tickets.size(); ++t) {
        const QList<qsizetype>& ticket = dealing.tickets[t];
        for (qsizetype q = 0; q < ticket.size(); ++q) {
            const BankQuestion& question = bank.questions[ticket[q]];
            SourceQuestion stored;
            stored.ticket = int(t + 1);
            stored.question = int(q + 1);
            stored.text = baseQuestionText(question);
            if (!question.picture.isEmpty()) {
                QString why;
                if (const std::optional<QByteArray> jpeg = toBasePicture(question.picture, &why))
                    stored.picture = *jpeg;
                else
                    source.warnings << aboutQuestion(
                        question.name, QStringLiteral("its picture %1; left out").arg(why));
            }
            const QList<int> right = rightAnswers(question);
            const bool single = question.single && right.size() == 1;
            stored.record.add("vop", "yes", single ? QByteArray::number(right.first()) : "0");
            bool replaced = false;
            for (qsizetype n = 1; n <= question.answers.size(); ++n) {
                const QByteArray number = QByteArray::number(n);
                stored.record.add(
                    "vop", "ot" + number,
                    encodeReplacing(withCrLf(question.answers[n - 1].text), &replaced));
                if (!single)
                    stored.record.add("vop", "V" + number, right.contains(int(n)) ? "1" : "0");
            }
            if (replaced)
                source.warnings << aboutQuestion(
                    question.name, QStringLiteral("characters that Windows-1251 cannot write "
                                                  "became ? in its answers"));
            source.questions << stored;
        }
    }
    return source;
}

} // namespace korvel
