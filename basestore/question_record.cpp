#include "question_record.h"

#include "question_cipher.h"
#include "record_container.h"

#include <algorithm>

namespace korvel {

namespace {
QString entryName(char kind, int ticket, int question) {
    return u'B' + QString::number(ticket) + u'\\' + QLatin1Char(kind) + u'.' +
           QString::number(question);
}

QByteArray readValue(const char* section, const QByteArray& key, ByteStream& record) {
    ByteStream value;
    ReadRecordStream(section, key, record, value);
    return value.bytes();
}
} // namespace

QString questionTextEntry(int ticket, int question) {
    return entryName('T', ticket, question);
}

QString questionPictureEntry(int ticket, int question) {
    return entryName('J', ticket, question);
}

QString questionRecordEntry(int ticket, int question) {
    return entryName('V', ticket, question);
}

ByteStream ReadQuestionRecord(Archiver& archiver, const QString& basePath, int t, int q) {
    ByteStream stored = readArchiveEntry(archiver, basePath, questionRecordEntry(t, q));
    ByteStream plain(cipherQuestionRecord(std::move(stored.bytes())));
    plain.seek(0);
    return plain;
}

AnswerModeError::AnswerModeError(const QByteArray& value)
    : std::runtime_error("Invalid answer mode '" + value.left(40).toStdString() +
                         "' (must be 0..5)") {}

int parseAnswerMode(const QByteArray& value) {
    if (value.isEmpty())
        return 1;
    bool ok = false;
    const int mode = value.toInt(&ok, 10);
    const bool digitsOnly =
        std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!ok || !digitsOnly || mode < 0 || mode > AnswerCount)
        throw AnswerModeError(value);
    return mode;
}

QList<int> QuestionRecord::rightAnswers() const {
    QList<int> numbers;
    for (int n = 1; n <= AnswerCount; ++n) {
        if (right[size_t(n - 1)])
            numbers << n;
    }
    return numbers;
}

QuestionRecord readQuestionKeys(ByteStream& record) {
    QuestionRecord result;
    result.answerMode = parseAnswerMode(readValue("vop", "yes", record));
    result.literatureIndex = readValue("Literature", "Index", record);
    result.literaturePunkt = readValue("Literature", "Punkt", record);
    for (int n = 1; n <= AnswerCount; ++n) {
        const size_t k = size_t(n - 1);
        result.answers[k] = readValue("vop", "ot" + QByteArray::number(n), record);
        if (result.answers[k].isEmpty())
            continue;
        if (result.answerMode == 0)
            result.right[k] = readValue("vop", "V" + QByteArray::number(n), record) == "1";
    }
    if (result.answerMode > 0)
        result.right[size_t(result.answerMode - 1)] = true;
    return result;
}

} // namespace korvel
