#include "app/right_click_filter.h"

#include <QMouseEvent>

namespace korvel {

bool RightClickFilter::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
        type == QEvent::MouseButtonDblClick || type == QEvent::ContextMenu) {
        const bool rightButton = type == QEvent::ContextMenu ||
                                 static_cast<QMouseEvent*>(event)->button() == Qt::RightButton;
        if (rightButton && watched->property("embeddedBrowser").toBool())
            return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace korvel
