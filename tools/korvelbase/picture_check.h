#pragma once

#include <QByteArray>

namespace korvel {

enum class PictureFormat { Jpeg, Gif };

// True when the bytes decode as a picture of that format (the first frame
// for an animation), the way the program will decode them.
bool pictureDecodes(const QByteArray& bytes, PictureFormat format);

} // namespace korvel
