#pragma once

#include <QString>
#include <QStringList>

namespace korvel {

// Everything the program would trip over in a base, one line each; empty
// when the base is clean. helpFolder empty: literature pages are not looked
// for.
QStringList checkBase(const QString& path, const QString& helpFolder);

} // namespace korvel
