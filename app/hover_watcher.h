#pragma once

#include <QObject>

class QWidget;

class QPushButton;

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

// A menu button of the main menu or the results page: at the left edge of its
// page, 25 high, with its tool tip, and watched for the pointer entering.
QPushButton* addMenuButton(QWidget* page, HoverWatcher& hover, const QString& name, int top,
                           int width, const QString& caption, const QString& toolTip);

} // namespace korvel
