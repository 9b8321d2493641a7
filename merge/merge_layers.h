#pragma once
#include "align/align_doc.h"

#include <cstdint>
#include <optional>

namespace tessary {

// The layer groups of the merge: a source with both levels -1 is in the middle blending layer;
// a top level of 1 or more puts it in the opaque top group and a bottom level of 1 or more in
// the opaque bottom group, higher levels nearer the front. Slots count from 0; `count` is the
// number of loaded sources.

bool isMiddleSource(const CAlignDoc& doc, int32_t slot);

// One step of source `slot` in the layer order ("Move Up" towards the front, "Move Down"
// towards the back): within its group it exchanges levels with the neighbouring level; at the
// end of the group (or at a gap in the levels) it joins the middle layer; from the middle layer
// it enters the top group just above the middle layer or the bottom group just below it.
void moveSourceUp(CAlignDoc& doc, int32_t count, int32_t slot);
void moveSourceDown(CAlignDoc& doc, int32_t count, int32_t slot);
// "Blend all to middle layer".
void blendAllToMiddle(CAlignDoc& doc, int32_t count);

// Where the dialog puts the button of each loaded source, relative to the anchor (L, T) of the
// middle layer: the top group at (L + 130, T - 220 + 20k), frontmost first; the middle layer in
// slot order at (L + 20k, T); the bottom group at (L + 130, T + 55 + 20k), frontmost first.
// The groups are sorted by level (equal levels in slot order), so every button has its place
// however high the levels have grown.
PerPlace<std::optional<ViewPoint>> layerButtonPlaces(const CAlignDoc& doc, int32_t count, ViewPoint anchor);

} // namespace tessary
