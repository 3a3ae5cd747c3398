#pragma once

#include <QList>
#include <QString>
#include <QUrl>
#include <functional>

namespace korvel {

// The help documents in the order "Справка" tries them: help.chm beside the
// program, then the first page of the same guide as HTML in Help/guide/.
// programFolder ends with a slash.
QList<QUrl> helpDocuments(const QString& programFolder);

// Hands the help documents to `open` in turn until one is opened; when none
// is, nothing more happens.
void openHelp(const QString& programFolder, const std::function<bool(const QUrl&)>& open);

} // namespace korvel
