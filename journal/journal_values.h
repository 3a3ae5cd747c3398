#pragma once

#include "engine/run_recorder.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>
#include <optional>

namespace korvel {

// How values are written in the journal's columns: times as ISO 8601 UTC text
// with milliseconds ("2026-12-09T19:04:05.123Z"), so that text order is time
// order; answer numbers as "1;3"; kinds and endings as words.

// NULL for an invalid time.
QVariant journalTime(const QDateTime& time);
// Invalid for NULL or text that is not such a time.
QDateTime parseJournalTime(const QVariant& value);

QString answerListText(const QList<int>& answers);
// Numbers that do not parse are dropped.
QList<int> parseAnswerList(const QString& text);

QString kindWord(RecordedRunKind kind);
std::optional<RecordedRunKind> kindFromWord(const QString& word);
QString endingWord(RunEnding ending);
std::optional<RunEnding> endingFromWord(const QString& word);

} // namespace korvel
