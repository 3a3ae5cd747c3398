#pragma once

#include <QString>
#include <QWidget>

namespace korvel {

// Creates a child control at its design place (left, top, width, height) with
// its name as objectName, so the layout reads like the form it came from.
template <class W, class... Args>
W* placed(QWidget* parent, const QString& name, int left, int top, int width, int height,
          Args&&... args) {
    auto* widget = new W(std::forward<Args>(args)..., parent);
    widget->setObjectName(name);
    widget->setGeometry(left, top, width, height);
    return widget;
}

} // namespace korvel
