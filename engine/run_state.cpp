#include "engine/run_state.h"

namespace korvel {

QString twoDigits(int value) {
    return value < 10 && value >= 0 ? QStringLiteral("0") + QString::number(value)
                                    : QString::number(value);
}

} // namespace korvel
