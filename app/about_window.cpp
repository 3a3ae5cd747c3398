#include "app/about_window.h"

#include "app/link_label.h"
#include "app/links.h"
#include "app/widget_helpers.h"

#include <QLabel>
#include <QMouseEvent>

namespace korvel {

AboutWindow::AboutWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("TForm6"));
    setModal(true);
    setFixedSize(400, 176);

    auto* background = placed<QLabel>(this, QStringLiteral("Image1"), 0, 0, 400, 176);
    background->setPixmap(QPixmap(QStringLiteral(":/pictures/about.png")));
    background->setScaledContents(true);
    auto* logo = placed<QLabel>(this, QStringLiteral("Image2"), 8, 0, 89, 97);
    logo->setPixmap(QPixmap(QStringLiteral(":/pictures/about_logo.png")));
    logo->setScaledContents(true);
    logo->setAttribute(Qt::WA_TranslucentBackground);
    auto* version = placed<QLabel>(this, QStringLiteral("Label3"), 96, 8, 89, 65,
                                   QStringLiteral("Версия 1.2.0.\nСборка для Qt 6\n© ZamtorSoft"));
    version->setWordWrap(true);
    version->setProperty("aboutText", true);
    auto* credits = placed<QLabel>(
        this, QStringLiteral("Label4"), 208, 8, 169, 161,
        QStringLiteral("Korvel TEST — тренажёр для подготовки и сдачи экзаменов по билетам.\n\n"
                       "Программирование, оформление и звуки: команда ZamtorSoft.\n\n"
                       "Базы билетов можно загрузить с нашего сайта."));
    credits->setWordWrap(true);
    credits->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    credits->setProperty("aboutText", true);

    // The links stand on the dark band of the background picture.
    const QColor pale(0xf6, 0xf8, 0xfa);
    const QColor lime(0, 255, 0);
    auto* site = placed<LinkLabel>(this, QStringLiteral("spSkinLinkLabel1"), 8, 96, 116, 14,
                                   QStringLiteral("Сайт: ") + QString::fromLatin1(MakerHost),
                                   homePageUrl(), pale, lime);
    auto* mail = placed<LinkLabel>(this, QStringLiteral("spSkinLinkLabel2"), 8, 112, 98, 14,
                                   QStringLiteral("Почта: ") + QString::fromLatin1(InfoMail),
                                   infoMailUrl(), pale, lime);
    for (LinkLabel* link : {site, mail}) {
        // The captions name the full address, so they take the width they need.
        link->adjustSize();
        link->setMinimumWidth(0);
        connect(link, &LinkLabel::activated, this, &AboutWindow::linkActivated);
    }
}

void AboutWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        accept();
}

} // namespace korvel
