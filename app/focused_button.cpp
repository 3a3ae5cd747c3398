#include "app/focused_button.h"

#include <QApplication>
#include <QPushButton>
#include <QToolButton>

namespace korvel {

bool clickFocusedButton(const QWidget* within) {
    QWidget* focused = QApplication::focusWidget();
    if (!focused || !within->isAncestorOf(focused))
        return false;
    if (!qobject_cast<QPushButton*>(focused) && !qobject_cast<QToolButton*>(focused))
        return false;
    auto* button = static_cast<QAbstractButton*>(focused);
    if (!button->isVisible() || !button->isEnabled())
        return false;
    button->click();
    return true;
}

} // namespace korvel
