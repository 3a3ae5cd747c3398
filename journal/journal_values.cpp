#include "journal/journal_values.h"

#include <QStringList>
#include <array>
#include <utility>

namespace korvel {

namespace {

constexpr std::array Kinds = {
    std::pair{RecordedRunKind::Preparation, "preparation"},
    std::pair{RecordedRunKind::Exam, "exam"},
    std::pair{RecordedRunKind::WorkOnErrors, "work_on_errors"},
};

constexpr std::array Endings = {
    std::pair{RunEnding::LastAnswer, "last_answer"},
    std::pair{RunEnding::TimeLimit, "time_limit"},
    std::pair{RunEnding::MainMenu, "main_menu"},
    std::pair{RunEnding::Interrupted, "interrupted"},
};

template <typename Table, typename Value>
QString wordOf(const Table& table, Value value) {
    for (const auto& [v, word] : table)
        if (v == value)
            return QString::fromLatin1(word);
    return {};
}

template <typename Table>
auto valueOf(const Table& table, const QString& word) -> std::optional<decltype(table[0].first)> {
    for (const auto& [v, w] : table)
        if (word == QLatin1String(w))
            return v;
    return std::nullopt;
}

} // namespace

QVariant journalTime(const QDateTime& time) {
    if (!time.isValid())
        return QVariant(QMetaType::fromType<QString>());
    return time.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ"));
}

QDateTime parseJournalTime(const QVariant& value) {
    if (value.isNull())
        return {};
    QDateTime time = QDateTime::fromString(value.toString(), Qt::ISODateWithMs);
    return time.isValid() ? time.toUTC() : QDateTime();
}

QString answerListText(const QList<int>& answers) {
    QStringList parts;
    for (int n : answers)
        parts << QString::number(n);
    return parts.join(u';');
}

QList<int> parseAnswerList(const QString& text) {
    QList<int> answers;
    for (const QString& part : text.split(u';', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int n = part.trimmed().toInt(&ok);
        if (ok)
            answers.append(n);
    }
    return answers;
}

QString kindWord(RecordedRunKind kind) {
    return wordOf(Kinds, kind);
}

std::optional<RecordedRunKind> kindFromWord(const QString& word) {
    return valueOf(Kinds, word);
}

QString endingWord(RunEnding ending) {
    return wordOf(Endings, ending);
}

std::optional<RunEnding> endingFromWord(const QString& word) {
    return valueOf(Endings, word);
}

} // namespace korvel
