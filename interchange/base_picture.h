#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace korvel {

// The long side of a question picture in a base, at most.
inline constexpr int MaxPictureSide = 1024;

// A picture of a bank (PNG, GIF, JPEG, BMP ...) as a base's JPEG picture:
// scaled down to MaxPictureSide on its long side, transparency on white.
// nullopt, with the reason in *why, when it does not decode or is too big to
// decode safely.
std::optional<QByteArray> toBasePicture(const QByteArray& image, QString* why);

} // namespace korvel
