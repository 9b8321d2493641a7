#pragma once
#include <QImage>
#include <QRect>

namespace tessary {

class PackedDib;

// A device-independent bitmap as a QImage for painting (shared by every view): rows turned top-down, colours as the
// bitmap gives them. 24-bit rows are copied directly; other depths go through the pixel
// accessors. A null image for an empty or unreadable bitmap.
QImage imageFromDib(const PackedDib& dib);

// The part `part` of the picture (in picture coordinates, top line 0) in the same form, cut to
// the picture: what a view paints of a large image without converting all of it. A null image
// when nothing of `part` lies on a readable picture.
QImage imageFromDibPart(const PackedDib& dib, const QRect& part);

} // namespace tessary
