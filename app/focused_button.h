#pragma once

class QWidget;

namespace korvel {

// Enter on a focused push or tool button inside `within` presses it, as Space
// does (outside dialogs Qt leaves Enter to the window). False when the focus
// is on no such button that can be pressed.
bool clickFocusedButton(const QWidget* within);

} // namespace korvel
