#pragma once

#include "base_archive.h"
#include "byte_stream.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>
#include <stdexcept>

namespace korvel {

inline constexpr int AnswerCount = 5;

QString questionTextEntry(int ticket, int question);    // B<t>\T.<q>
QString questionPictureEntry(int ticket, int question); // B<t>\J.<q>
QString questionRecordEntry(int ticket, int question);  // B<t>\V.<q>

// The deciphered record of question q of ticket t, positioned at its start.
// Throws ArchiveError when the archive or the entry cannot be read.
ByteStream ReadQuestionRecord(Archiver& archiver, const QString& basePath, int t, int q);

// A vop/yes value that is not a decimal integer or lies outside 0..5.
class AnswerModeError : public std::runtime_error {
public:
    explicit AnswerModeError(const QByteArray& value);
};

// The keys of a deciphered question record.
struct QuestionRecord {
    // 1..5: the one right answer, chosen with the answer buttons;
    // 0: any answers may be right, chosen with switches and confirmed.
    int answerMode = 1;
    std::array<QByteArray, AnswerCount> answers; // Windows-1251, empty when absent
    std::array<bool, AnswerCount> right{};
    QByteArray literatureIndex;
    QByteArray literaturePunkt;

    bool hasAnswer(int n) const { return !answers[size_t(n - 1)].isEmpty(); }
    QList<int> rightAnswers() const;
};

// Absent or empty counts as 1. Throws AnswerModeError.
int parseAnswerMode(const QByteArray& value);

// Throws RecordConversionError for a malformed container and AnswerModeError.
QuestionRecord readQuestionKeys(ByteStream& record);

} // namespace korvel
