#include "app/skinned_message_boxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace korvel {

namespace {
QMessageBox::Icon iconOf(MessageKind kind) {
    switch (kind) {
    case MessageKind::Confirmation:
        return QMessageBox::Question;
    case MessageKind::Information:
        return QMessageBox::Information;
    case MessageKind::Error:
        return QMessageBox::Critical;
    case MessageKind::Warning:
        return QMessageBox::Warning;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::ButtonRole roleOf(MessageButton button) {
    switch (button) {
    case MessageButton::Yes:
        return QMessageBox::YesRole;
    case MessageButton::No:
        return QMessageBox::NoRole;
    case MessageButton::Ok:
        return QMessageBox::AcceptRole;
    case MessageButton::Cancel:
        return QMessageBox::RejectRole;
    case MessageButton::None:
        break;
    }
    return QMessageBox::ActionRole;
}
} // namespace

MessageButton SkinnedMessageBoxes::ask(MessageKind kind, const QString& text,
                                       const QList<MessageButton>& buttons) {
    QMessageBox box(iconOf(kind), messageTitle(kind), text, QMessageBox::NoButton,
                    parent_ ? parent_->window() : nullptr);
    box.setObjectName(QStringLiteral("MessageBox"));
    QList<QPair<QAbstractButton*, MessageButton>> added;
    for (MessageButton button : buttons) {
        QPushButton* pushButton = box.addButton(messageButtonText(button), roleOf(button));
        pushButton->setObjectName(QStringLiteral("MessageButton") + messageButtonText(button));
        added.append({pushButton, button});
    }
    if (!added.isEmpty())
        box.setDefaultButton(static_cast<QPushButton*>(added.first().first));
    box.exec();
    for (const auto& [pushButton, button] : added) {
        if (box.clickedButton() == pushButton)
            return button;
    }
    return MessageButton::None;
}

void SkinnedMessageBoxes::plain(const QString& text) {
    // The plain box carries the application title instead of a kind.
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), text,
                    QMessageBox::Ok, parent_ ? parent_->window() : nullptr);
    box.setObjectName(QStringLiteral("PlainMessageBox"));
    box.exec();
}

} // namespace korvel
