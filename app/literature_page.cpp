#include "app/literature_page.h"

#include "app/widget_helpers.h"

#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
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
    close_->setToolTip(QStringLiteral("Закрыть (Esc)"));
    // Escape closes the page as the button does, and only while it could.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, close_,
            [this] {
                if (close_->isVisible())
                    close_->click();
            });
    viewer_ =
        placed<QTextBrowser>(this, QStringLiteral("Viewer"), 0, BarHeight, 745, 545 - BarHeight);
    viewer_->setOpenLinks(false);
    viewer_->setOpenExternalLinks(false);
    viewer_->setFont(QFont(QStringLiteral("Times New Roman")));
    viewer_->document()->setDefaultStyleSheet(
        QStringLiteral("pre, code, tt { font-family: 'Courier New'; }"));
    viewer_->setTextInteractionFlags(Qt::TextBrowserInteraction | Qt::TextSelectableByKeyboard);
    connect(viewer_, &QTextBrowser::anchorClicked, this, &LiteraturePage::followLink);
    connect(viewer_, &QTextBrowser::highlighted, this, &LiteraturePage::highlightLink);
    connect(viewer_, &QTextBrowser::sourceChanged, this, [this] { highlighted_.clear(); });
    resize(745, 545);
}

QString LiteraturePage::load(const QString& path, const QString& anchor, const Progress& progress) {
    progress(RunEngine::ViewerStage::Starting, 0);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        progress(RunEngine::ViewerStage::Ending, 100);
        return QStringLiteral("Не удалось открыть страницу литературы \"%1\":\n%2")
            .arg(QDir::toNativeSeparators(path), file.errorString());
    }
    file.close();
    progress(RunEngine::ViewerStage::Running, 50);
    // The anchor goes in as a fragment: a '#' in the file name would be escaped.
    QUrl url = QUrl::fromLocalFile(path);
    if (!anchor.isEmpty())
        url.setFragment(anchor);
    viewer_->setSource(url);
    if (anchor.isEmpty())
        viewer_->verticalScrollBar()->setValue(0);
    progress(RunEngine::ViewerStage::Ending, 100);
    return {};
}

void LiteraturePage::clear() {
    highlighted_.clear();
    viewer_->clear();
    viewer_->clearHistory();
    viewer_->verticalScrollBar()->setValue(0);
    viewer_->horizontalScrollBar()->setValue(0);
}

void LiteraturePage::highlightLink(const QUrl& url) {
    restoreLinkColour();
    if (url.isEmpty())
        return;
    const QUrl target = viewer_->source().resolved(url);
    QTextDocument* document = viewer_->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextFragment piece = fragment.fragment();
            const QTextCharFormat format = piece.charFormat();
            if (!format.isAnchor() ||
                viewer_->source().resolved(QUrl(format.anchorHref())) != target)
                continue;
            highlighted_.append({piece.position(), piece.position() + piece.length(), format});
        }
    }
    QTextCharFormat fuchsia;
    fuchsia.setForeground(QColor(Qt::magenta));
    for (const Highlight& link : std::as_const(highlighted_)) {
        QTextCursor cursor(document);
        cursor.setPosition(link.start);
        cursor.setPosition(link.end, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(fuchsia);
    }
}

void LiteraturePage::restoreLinkColour() {
    const int size = viewer_->document()->characterCount();
    for (const Highlight& link : std::as_const(highlighted_)) {
        if (link.end >= size)
            continue;
        QTextCursor cursor(viewer_->document());
        cursor.setPosition(link.start);
        cursor.setPosition(link.end, QTextCursor::KeepAnchor);
        cursor.setCharFormat(link.format);
    }
    highlighted_.clear();
}

void LiteraturePage::followLink(const QUrl& url) {
    const QUrl target = viewer_->source().resolved(url);
    if (target.isLocalFile() || target.scheme().isEmpty()) {
        viewer_->setSource(target);
        return;
    }
    emit externalLinkActivated(target);
}

void LiteraturePage::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    bar_->setGeometry(0, 0, width(), BarHeight);
    viewer_->setGeometry(0, BarHeight, width(), qMax(0, height() - BarHeight));
}

} // namespace korvel
