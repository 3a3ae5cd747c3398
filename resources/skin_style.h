#pragma once

#include <QString>

namespace korvel {

// The skin style sheet of every window, from the resource :/skin/skin.qss.
QString skinStyleSheet();

} // namespace korvel
