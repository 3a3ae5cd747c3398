#include "message_boxes.h"

namespace korvel {

QString messageTitle(MessageKind kind) {
    switch (kind) {
    case MessageKind::Confirmation:
        return QStringLiteral("Confirm");
    case MessageKind::Information:
        return QStringLiteral("Information");
    case MessageKind::Error:
        return QStringLiteral("Error");
    case MessageKind::Warning:
        return QStringLiteral("Warning");
    }
    return {};
}

QString messageButtonText(MessageButton button) {
    switch (button) {
    case MessageButton::Yes:
        return QStringLiteral("&Yes");
    case MessageButton::No:
        return QStringLiteral("&No");
    case MessageButton::Ok:
        return QStringLiteral("OK");
    case MessageButton::Cancel:
        return QStringLiteral("Cancel");
    case MessageButton::None:
        break;
    }
    return {};
}

} // namespace korvel
