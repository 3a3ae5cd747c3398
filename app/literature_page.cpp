#include "app/literature_page.h"

#include "app/widget_helpers.h"

#include <QTextBrowser>
#include <QToolButton>

namespace korvel {

LiteraturePage::LiteraturePage(QWidget* parent)
    : QFrame(parent) {
    setObjectName(QStringLiteral("OtvetNaVopros"));
    setProperty("page", true);
    bar_ = placed<QFrame>(this, QStringLiteral("spSkinPanel8"), 0, 0, 745, BarHeight);
    bar_->setProperty("toolBar", true);
    close_ = placed<QToolButton>(bar_, QStringLiteral("spSkinButton5"), 8, 7, 34, 34);
    close_->setIcon(QIcon(QStringLiteral(":/pictures/icon_close.png")));
    close_->setIconSize(QSize(26, 26));
    close_->setAutoRaise(true);
    close_->setToolTip(QStringLiteral("Закрыть"));
    viewer_ =
        placed<QTextBrowser>(this, QStringLiteral("Viewer"), 0, BarHeight, 745, 545 - BarHeight);
    viewer_->setOpenLinks(true);
    viewer_->setOpenExternalLinks(false);
    resize(745, 545);
}

void LiteraturePage::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    bar_->setGeometry(0, 0, width(), BarHeight);
    viewer_->setGeometry(0, BarHeight, width(), qMax(0, height() - BarHeight));
}

} // namespace korvel
