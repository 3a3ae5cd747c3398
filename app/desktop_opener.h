#pragma once

#include <QStringList>
#include <QUrl>

namespace korvel {

// Hands a document, page or mail address to the desktop's own programs.
// False when it surely was not opened: the desktop refused it, the local
// file is missing, or (on desktops that follow the freedesktop.org rules) no
// installed program takes the file's type; xdg-open would otherwise hand such
// a file to the web browser as a download.
bool openWithDesktop(const QUrl& url);

// Whether a program is associated with the MIME type (or one of its aliases)
// in the mimeapps.list files of configFolders and applicationFolders and the
// mimeinfo.cache files of applicationFolders, taking removed associations
// into account. The folders come in the desktop's order, most important first.
bool hasMimeHandler(const QStringList& mimeTypes, const QStringList& configFolders,
                    const QStringList& applicationFolders);

} // namespace korvel
