#pragma once

#include "engine/run_engine.h"

#include <QFrame>
#include <QList>
#include <QTextCharFormat>
#include <QUrl>
#include <functional>

class QTextBrowser;
class QToolButton;

namespace korvel {

// The literature page OtvetNaVopros: a bar with the close button and the
// viewer filling the rest.
class LiteraturePage final : public QFrame {
    Q_OBJECT
public:
    using Progress = std::function<void(RunEngine::ViewerStage stage, int percent)>;

    static constexpr int BarHeight = 48;

    explicit LiteraturePage(QWidget* parent = nullptr);

    QTextBrowser* viewer() const { return viewer_; }
    QToolButton* closeButton() const { return close_; }

    // Loads a page of the Help folder and scrolls to the named anchor (the
    // top when it is empty or not in the page), reporting progress in three
    // stages. Empty on success, otherwise why the page could not be read.
    QString load(const QString& path, const QString& anchor, const Progress& progress);
    // An empty viewer with its scroll bars back at the start.
    void clear();

signals:
    // A link to a web page or a mail address: for the desktop to open.
    void externalLinkActivated(const QUrl& url);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void followLink(const QUrl& url);
    // The link under the pointer shows in fuchsia; the one before gets its
    // own colour back.
    void highlightLink(const QUrl& url);
    void restoreLinkColour();

    struct Highlight {
        int start = 0;
        int end = 0;
        QTextCharFormat format;
    };
    QList<Highlight> highlighted_;

    QFrame* bar_ = nullptr;
    QToolButton* close_ = nullptr;
    QTextBrowser* viewer_ = nullptr;
};

} // namespace korvel
