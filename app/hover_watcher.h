#pragma once

#include <QObject>

class QWidget;

namespace korvel {

// Reports the pointer entering any of the watched controls, by name.
class HoverWatcher final : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    void watch(QWidget* widget);

signals:
    void entered(const QString& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace korvel
