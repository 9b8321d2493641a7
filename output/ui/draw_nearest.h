#pragma once
#include "image/packed_dib.h"
#include "output/print_bands.h"
#include "output/print_geometry.h"

class QPainter;
class QPaintDevice;

namespace tessary {

// The printer's printable area in device pixels and its resolution, as the layout reads them.
PrinterMetrics printerMetrics(const QPaintDevice& device);

// Draws the 24-bit `picture` scaled into `target` by nearest pixel, only where it lies inside
// `clip`, a band of rows at a time (a page never needs a copy of its whole size), each band at
// its own device pixels, so neither the painter nor a printer or PDF viewer ever smooths it.
// False when a band could not be allocated. `bandBytes` bounds one band.
bool drawNearest(QPainter& painter, const PackedDib& picture, const PageRect& target, const PageRect& clip,
    size_t bandBytes = kPrintBandBytes);

} // namespace tessary
