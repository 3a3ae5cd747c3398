#include "app/hover_watcher.h"

#include <QEvent>
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

} // namespace korvel
