#pragma once
#include <QImage>

namespace tessary {

class PackedDib;

// The picture of a device-independent bitmap as a QImage at its own size (display line 0 at the
// top), for drawing. 24-bit rows are copied directly; other depths go through the pixel
// accessors and their colour tables. A null image when the bitmap cannot be read.
QImage imageFromDib(const PackedDib& dib);

} // namespace tessary
