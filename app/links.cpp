#include "app/links.h"

namespace korvel {

namespace {
QUrl page(const char* host, const QString& query = {}) {
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(QString::fromLatin1(host));
    url.setPath(QStringLiteral("/index.php"));
    if (!query.isEmpty())
        url.setQuery(query);
    return url;
}

QUrl mail(const char* address) {
    return QUrl(QStringLiteral("mailto:") + QString::fromLatin1(address));
}
} // namespace

QUrl newBasesUrl() {
    return page(MakerHost, QStringLiteral("option=com_content&task=blogcategory&id=2&Itemid=17"));
}

QUrl homePageUrl() {
    return page(MakerHost);
}

QUrl updatesUrl() {
    return page(MakerHost, QStringLiteral("option=com_content&task=blogcategory&id=5&Itemid=13"));
}

QUrl forumUrl() {
    return page(ForumHost);
}

QUrl supportMailUrl() {
    return mail(SupportMail);
}

QUrl infoMailUrl() {
    return mail(InfoMail);
}

} // namespace korvel
