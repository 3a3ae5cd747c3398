#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace korvel {

// Everything the program would trip over in a base, one line each, passed
// to `report` as found; runs of the same finding over consecutive questions
// come as one line with a count (FindingFolder). Gives the number of
// findings, each question of a run counted. helpFolder empty: literature
// pages are not looked for.
qint64 checkBase(const QString& path, const QString& helpFolder,
                 const std::function<void(const QString& line)>& report);

// The same lines collected; empty when the base is clean.
QStringList checkBase(const QString& path, const QString& helpFolder);

} // namespace korvel
