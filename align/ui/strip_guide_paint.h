#pragma once
#include "align/quick_align.h"

class QPainter;

namespace tessary {

// The guides of a quick-align hover, painted over the pale preview: the zone source's outline
// in red, a dashed line along the edge the selected source will meet, and a blue arrow from the
// selected source's moving corner to that line.
void paintStripGuide(QPainter& painter, const StripGuide& guide, const Outline& zoneOutline);

} // namespace tessary
