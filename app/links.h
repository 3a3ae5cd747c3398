#pragma once

#include <QUrl>

namespace korvel {

// The maker's addresses, all in one place. The hosts are placeholders on the
// reserved .example domain.
inline constexpr char MakerHost[] = "www.zamtorsoft.example";
inline constexpr char ForumHost[] = "forum.zamtorsoft.example";
inline constexpr char SupportMail[] = "support@zamtorsoft.example";
inline constexpr char InfoMail[] = "info@zamtorsoft.example";

QUrl newBasesUrl();    // spSkinButtonLabel2
QUrl homePageUrl();    // spSkinButtonLabel3, and the site link of the About window
QUrl updatesUrl();     // spSkinButtonLabel13
QUrl forumUrl();       // spSkinButtonLabel14
QUrl supportMailUrl(); // spSkinButtonLabel4
QUrl infoMailUrl();    // the mail link of the About window

} // namespace korvel
