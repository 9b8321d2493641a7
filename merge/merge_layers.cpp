#include "merge/merge_layers.h"

#include <algorithm>
#include <vector>

namespace tessary {

namespace {
// The slot whose `levels` entry is `level`, if any.
std::optional<int32_t> slotAtLevel(const PerPlace<int32_t>& levels, int32_t count, int32_t level)
{
    for (int32_t i = 0; i < count; ++i)
        if (levels[size_t(i)] == level)
            return i;
    return std::nullopt;
}

// Within the group of `levels`: exchange with the source one level `towards`, or, with
// none there, leave the group when `leaveAtEnd` (true) or stay (false).
void stepInGroup(PerPlace<int32_t>& levels, int32_t count, int32_t slot, int32_t towards, bool leaveAtEnd)
{
    int32_t& level = levels[size_t(slot)];
    if (const auto other = slotAtLevel(levels, count, level + towards)) {
        std::swap(level, levels[size_t(*other)]);
    } else if (leaveAtEnd) {
        level = -1;
    }
}

std::vector<int32_t> groupFrontFirst(const PerPlace<int32_t>& levels, int32_t count)
{
    std::vector<int32_t> slots;
    for (int32_t i = 0; i < count; ++i)
        if (levels[size_t(i)] != -1)
            slots.push_back(i);
    std::stable_sort(slots.begin(), slots.end(),
        [&](int32_t a, int32_t b) { return levels[size_t(a)] > levels[size_t(b)]; });
    return slots;
}
}

bool isMiddleSource(const CAlignDoc& doc, int32_t slot)
{
    return doc.topLevel[size_t(slot)] == -1 && doc.bottomLevel[size_t(slot)] == -1;
}

void moveSourceUp(CAlignDoc& doc, int32_t count, int32_t slot)
{
    if (slot < 0 || slot >= count)
        return;
    if (doc.bottomLevel[size_t(slot)] != -1) {
        stepInGroup(doc.bottomLevel, count, slot, +1, true);
    } else if (isMiddleSource(doc, slot)) {
        for (int32_t i = 0; i < count; ++i)
            if (doc.topLevel[size_t(i)] != -1)
                ++doc.topLevel[size_t(i)];
        doc.topLevel[size_t(slot)] = 1;
    } else {
        stepInGroup(doc.topLevel, count, slot, +1, false);
    }
}

void moveSourceDown(CAlignDoc& doc, int32_t count, int32_t slot)
{
    if (slot < 0 || slot >= count)
        return;
    if (doc.topLevel[size_t(slot)] != -1) {
        stepInGroup(doc.topLevel, count, slot, -1, true);
    } else if (isMiddleSource(doc, slot)) {
        int32_t highest = 0;
        for (int32_t i = 0; i < count; ++i)
            highest = std::max(highest, doc.bottomLevel[size_t(i)]);
        doc.bottomLevel[size_t(slot)] = highest + 1;
    } else {
        stepInGroup(doc.bottomLevel, count, slot, -1, false);
    }
}

void blendAllToMiddle(CAlignDoc& doc, int32_t count)
{
    for (int32_t i = 0; i < count; ++i) {
        doc.topLevel[size_t(i)] = -1;
        doc.bottomLevel[size_t(i)] = -1;
    }
}

PerPlace<std::optional<ViewPoint>> layerButtonPlaces(const CAlignDoc& doc, int32_t count, ViewPoint anchor)
{
    PerPlace<std::optional<ViewPoint>> places {};
    int32_t k = 0;
    for (int32_t slot : groupFrontFirst(doc.topLevel, count))
        places[size_t(slot)] = ViewPoint { anchor.x + 130, anchor.y - 220 + 20 * k++ };
    k = 0;
    for (int32_t i = 0; i < count; ++i)
        if (isMiddleSource(doc, i))
            places[size_t(i)] = ViewPoint { anchor.x + 20 * k++, anchor.y };
    k = 0;
    for (int32_t slot : groupFrontFirst(doc.bottomLevel, count))
        if (doc.topLevel[size_t(slot)] == -1)
            places[size_t(slot)] = ViewPoint { anchor.x + 130, anchor.y + 55 + 20 * k++ };
    return places;
}

} // namespace tessary
