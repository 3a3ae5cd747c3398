#include "app/hover_watcher.h"

#include "app/widget_helpers.h"

#include <QEvent>
#include <QPushButton>
#include <QWidget>

namespace korvel {

void HoverWatcher::watch(QWidget* widget) {
    widget->installEventFilter(this);
}

bool HoverWatcher::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Enter)
        emit entered(watched->objectName());
    return QObject::eventFilter(watched, event);
}

QPushButton* addMenuButton(QWidget* page, HoverWatcher& hover, const QString& name, int top,
                           int width, const QString& caption, const QString& toolTip) {
    auto* button = placed<QPushButton>(page, name, 8, top, width, 25, caption);
    button->setToolTip(toolTip);
    button->setProperty("menuButton", true);
    hover.watch(button);
    return button;
}

} // namespace korvel
