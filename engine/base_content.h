#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

namespace korvel {

// Decodes a picture of a base (JPEG in practice). A picture larger than
// `fitInto` is decoded straight at the size that fits it, keeping its
// proportions, so a large photo never costs its full size in memory. A null
// image when the bytes are no picture.
QImage decodePicture(const QByteArray& bytes, QSize fitInto = QSize(2048, 2048));

} // namespace korvel
