#include "report/report_composition.h"

#include "basestore/base_archive.h"
#include "basestore/question_record.h"
#include "basestore/record_container.h"
#include "richtext/base_text.h"
#include "richtext/rtf_reader.h"

#include <QScopeGuard>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <array>

namespace korvel {

namespace {

bool flagSet(const QByteArray& cell, int answer) {
    return answer <= cell.size() && cell.at(answer - 1) != 0;
}

bool isRightQuestion(const QByteArray& chosen, const QByteArray& right) {
    for (int k = 1; k <= AnswerCount; ++k)
        if (flagSet(chosen, k) != flagSet(right, k))
            return false;
    return true;
}

using AnswerTexts = std::array<QByteArray, AnswerCount>;

// The five answer texts of a question's record. Any failure to read or
// decipher it counts once and leaves every answer empty.
AnswerTexts readAnswerTexts(const ReportInput& input, const ReportHooks& hooks, int t, int q) {
    AnswerTexts answers;
    try {
        ByteStream record = ReadQuestionRecord(*input.archiver, input.basePath, t, q);
        for (int k = 1; k <= AnswerCount; ++k) {
            ByteStream value;
            ReadRecordStream("vop", "ot" + QByteArray::number(k), record, value);
            answers[size_t(k - 1)] = value.bytes();
        }
    } catch (const ArchiveError&) {
        answers = {};
        if (hooks.fileIoError)
            hooks.fileIoError();
    } catch (const RecordConversionError&) {
        answers = {};
        if (hooks.fileIoError)
            hooks.fileIoError();
    }
    return answers;
}

void appendQuestionText(QTextDocument& document, const QByteArray& text) {
    // The last paragraph is the empty one after the previous line, so the
    // question text starts a line of its own; a line break ends it.
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    loadQuestionText(cursor, text);
    cursor.movePosition(QTextCursor::End);
    cursor.insertBlock();
}

void appendAnswers(QTextDocument& document, const AnswerTexts& answers, const QByteArray& flags) {
    for (int k = 1; k <= AnswerCount; ++k)
        if (flagSet(flags, k))
            AppendTextLine(document, fromBaseText(answers[size_t(k - 1)]), ReportColor::Black);
}

class Composer {
public:
    Composer(QTextDocument& document, const ReportInput& input, const ReportHooks& hooks)
        : document_(document)
        , input_(input)
        , hooks_(hooks)
        , maximum_(input.red + input.remain + 3) {}

    void run() {
        gauge(1);
        gauge(2);
        document_.clear();
        QList<int> tickets = input_.chosenTickets;
        std::sort(tickets.begin(), tickets.end());
        tickets.erase(std::unique(tickets.begin(), tickets.end()), tickets.end());
        if (tickets.isEmpty())
            return;
        // One edit for the whole report: a document shown in a text box is
        // laid out once at the end, not after every line.
        QTextCursor edit(&document_);
        edit.beginEditBlock();
        const auto endEdit = qScopeGuard([&] { edit.endEditBlock(); });
        writeHeader(tickets);
        gauge(3);
        for (int t : tickets)
            writeTicket(t);
    }

private:
    void gauge(int value) {
        value_ = value;
        // Questions counted as right but never presented can still be
        // listed in a work on errors; the gauge stays full then.
        if (hooks_.progress)
            hooks_.progress(std::min(value_, maximum_), maximum_);
    }

    void writeHeader(const QList<int>& tickets) {
        const int total = input_.remain + input_.green + input_.red;
        const int percent = input_.percent;
        const QString name =
            input_.examineeName.isEmpty() ? QStringLiteral("Пользователь") : input_.examineeName;
        AppendTitleLine(document_, QStringLiteral("Уважаемый(ая)  ") + name, ReportColor::Black);
        AppendTitleLine(document_, QStringLiteral("Ваши результаты:"), ReportColor::Black);
        AppendTextLine(document_,
                       QStringLiteral("Были отобраны билеты - ") + ticketListText(tickets),
                       ReportColor::Black);
        AppendTextLine(document_,
                       QStringLiteral("Общее количество вопросов - ") + QString::number(total),
                       ReportColor::Black);
        AppendTextLine(document_,
                       QStringLiteral("Правильно-отвеченных вопросов - %1. Это %2 процента(ов) от "
                                      "общего количества.")
                           .arg(counterText(input_.green))
                           .arg(percent),
                       ReportColor::Green);
        AppendTextLine(document_,
                       QStringLiteral("Неправильно-отвеченных вопросов - %1. Это %2 процента(ов) "
                                      "от общего количества.")
                           .arg(counterText(input_.red))
                           .arg(100 - percent),
                       ReportColor::Red);
        AppendTextLine(
            document_,
            QStringLiteral("Неуспели ответить на %1 вопросов.").arg(counterText(input_.remain)),
            ReportColor::Black);
        AppendTextLine(document_, QStringLiteral("Результаты показали что : "), ReportColor::Black);
        AppendTextLine(document_, input_.analizStr,
                       input_.good ? ReportColor::Green : ReportColor::Red);
        AppendEmptyLine(document_);
    }

    void writeTicket(int t) {
        bool firstError = true;
        for (int q = 1; q <= input_.questionsPerTicket; ++q) {
            const QByteArray chosen = input_.chosenCell ? input_.chosenCell(t, q) : QByteArray();
            const QByteArray right = input_.rightCell ? input_.rightCell(t, q) : QByteArray();
            // A question passed over is listed to say so, whatever its cells hold.
            const bool passedOver = input_.passedOver && input_.passedOver(t, q);
            if (isRightQuestion(chosen, right) && !passedOver)
                continue;
            if (firstError) {
                firstError = false;
                AppendEmptyLine(document_);
                AppendEmptyLine(document_);
                AppendTitleLine(document_,
                                QStringLiteral("Вы допустили ошибки в билете под номером ") +
                                    QString::number(t),
                                ReportColor::Navy);
            }
            writeQuestion(t, q, chosen, right);
        }
    }

    void writeQuestion(int t, int q, const QByteArray& chosen, const QByteArray& right) {
        AppendEmptyLine(document_);
        AppendTitleLine(document_, QStringLiteral("Были допущены ошибки на вопрос:"),
                        ReportColor::Blue);
        AppendEmptyLine(document_);
        gauge(value_ + 1);

        const ByteStream text =
            readArchiveEntry(*input_.archiver, input_.basePath, questionTextEntry(t, q));
        if (input_.passedOver && input_.passedOver(t, q)) {
            // The run has told of the record already; it has no answers to list.
            appendQuestionText(document_, text.bytes());
            AppendTextLine(document_,
                           QStringLiteral("Запись этого вопроса не удалось прочитать: вопрос не "
                                          "засчитан ни правильным, ни неправильным."),
                           ReportColor::Red);
            return;
        }
        const AnswerTexts answers = readAnswerTexts(input_, hooks_, t, q);

        appendQuestionText(document_, text.bytes());
        AppendTextLine(document_, QStringLiteral("Вы ответили неправильно выбрав ответы:"),
                       ReportColor::Red);
        appendAnswers(document_, answers, chosen);
        AppendTextLine(document_, QStringLiteral("Здесь правильными являются ответы:"),
                       ReportColor::Green);
        appendAnswers(document_, answers, right);
    }

    QTextDocument& document_;
    const ReportInput& input_;
    const ReportHooks& hooks_;
    const int maximum_;
    int value_ = 0;
};

} // namespace

void composeReport(QTextDocument& document, const ReportInput& input, const ReportHooks& hooks) {
    Composer(document, input, hooks).run();
}

QString ticketListText(const QList<int>& tickets) {
    QList<int> sorted = tickets;
    std::sort(sorted.begin(), sorted.end());
    QString text;
    for (int t : sorted)
        text += QString::number(t) + QStringLiteral("; ");
    return text;
}

QString counterText(int value) {
    return value >= 0 && value < 10 ? QStringLiteral("0") + QString::number(value)
                                    : QString::number(value);
}

} // namespace korvel
