#pragma once
#include <QImage>

namespace tessary {

class PackedDib;

// A device-independent bitmap as a QImage for painting (shared by every view): rows turned top-down, colours as the
// bitmap gives them. 24-bit rows are copied directly; other depths go through the pixel
// accessors. A null image for an empty or unreadable bitmap.
QImage imageFromDib(const PackedDib& dib);

} // namespace tessary
