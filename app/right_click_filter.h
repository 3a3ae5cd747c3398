#pragma once

#include <QObject>

namespace korvel {

// RightClickFilter: embedded web-browser windows never get a right click (and
// so show no context menu). A control marks itself as such a window with the
// property "embeddedBrowser"; every other control gets right clicks as usual.
class RightClickFilter final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace korvel
