#pragma once

#include "platform/message_boxes.h"

class QWidget;

namespace korvel {

// The program's real message boxes: modal, styled by the skin, the kind as
// title and the toolkit's button texts.
class SkinnedMessageBoxes final : public MessageBoxes {
public:
    // Boxes are centred over the parent's window (none: over the screen).
    void setParent(QWidget* parent) { parent_ = parent; }

    MessageButton ask(MessageKind kind, const QString& text,
                      const QList<MessageButton>& buttons) override;
    void plain(const QString& text) override;

private:
    QWidget* parent_ = nullptr;
};

} // namespace korvel
