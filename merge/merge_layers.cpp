#include "merge/merge_layers.h"

#include <algorithm>
#include <vector>

namespace tessary {

namespace {
// One layer group: the top or the bottom levels of the placements.
using Group = int32_t Placement::*;

// The slot whose level in `group` is `level`, if any.
std::optional<int32_t> slotAtLevel(
    const PerPlace<Placement>& places, Group group, int32_t count, int32_t level)
{
    for (int32_t i = 0; i < count; ++i)
        if (places[size_t(i)].*group == level)
            return i;
    return std::nullopt;
}

// Within `group`: exchange with the source one level `towards`, or, with none there, leave
// the group when `leaveAtEnd` (true) or stay (false).
void stepInGroup(
    PerPlace<Placement>& places, Group group, int32_t count, int32_t slot, int32_t towards, bool leaveAtEnd)
{
    int32_t& level = places[size_t(slot)].*group;
    if (const auto other = slotAtLevel(places, group, count, level + towards)) {
        std::swap(level, places[size_t(*other)].*group);
    } else if (leaveAtEnd) {
        level = -1;
    }
}

std::vector<int32_t> groupFrontFirst(const PerPlace<Placement>& places, Group group, int32_t count)
{
    std::vector<int32_t> slots;
    for (int32_t i = 0; i < count; ++i)
        if (places[size_t(i)].*group != -1)
            slots.push_back(i);
    std::stable_sort(slots.begin(), slots.end(),
        [&](int32_t a, int32_t b) { return places[size_t(a)].*group > places[size_t(b)].*group; });
    return slots;
}
}

bool isMiddleSource(const CAlignDoc& doc, int32_t slot)
{
    return doc.placement[size_t(slot)].topLevel == -1 && doc.placement[size_t(slot)].bottomLevel == -1;
}

void moveSourceUp(CAlignDoc& doc, int32_t count, int32_t slot)
{
    if (slot < 0 || slot >= count)
        return;
    if (doc.placement[size_t(slot)].bottomLevel != -1) {
        stepInGroup(doc.placement, &Placement::bottomLevel, count, slot, +1, true);
    } else if (isMiddleSource(doc, slot)) {
        for (int32_t i = 0; i < count; ++i)
            if (doc.placement[size_t(i)].topLevel != -1)
                ++doc.placement[size_t(i)].topLevel;
        doc.placement[size_t(slot)].topLevel = 1;
    } else {
        stepInGroup(doc.placement, &Placement::topLevel, count, slot, +1, false);
    }
}

void moveSourceDown(CAlignDoc& doc, int32_t count, int32_t slot)
{
    if (slot < 0 || slot >= count)
        return;
    if (doc.placement[size_t(slot)].topLevel != -1) {
        stepInGroup(doc.placement, &Placement::topLevel, count, slot, -1, true);
    } else if (isMiddleSource(doc, slot)) {
        int32_t highest = 0;
        for (int32_t i = 0; i < count; ++i)
            highest = std::max(highest, doc.placement[size_t(i)].bottomLevel);
        doc.placement[size_t(slot)].bottomLevel = highest + 1;
    } else {
        stepInGroup(doc.placement, &Placement::bottomLevel, count, slot, -1, false);
    }
}

void blendAllToMiddle(CAlignDoc& doc, int32_t count)
{
    for (int32_t i = 0; i < count; ++i) {
        doc.placement[size_t(i)].topLevel = -1;
        doc.placement[size_t(i)].bottomLevel = -1;
    }
}

PerPlace<std::optional<ViewPoint>> layerButtonPlaces(const CAlignDoc& doc, int32_t count, ViewPoint anchor)
{
    PerPlace<std::optional<ViewPoint>> places {};
    int32_t k = 0;
    for (int32_t slot : groupFrontFirst(doc.placement, &Placement::topLevel, count))
        places[size_t(slot)] = ViewPoint { anchor.x + 130, anchor.y - 220 + 20 * k++ };
    k = 0;
    for (int32_t i = 0; i < count; ++i)
        if (isMiddleSource(doc, i))
            places[size_t(i)] = ViewPoint { anchor.x + 20 * k++, anchor.y };
    k = 0;
    for (int32_t slot : groupFrontFirst(doc.placement, &Placement::bottomLevel, count))
        if (doc.placement[size_t(slot)].topLevel == -1)
            places[size_t(slot)] = ViewPoint { anchor.x + 130, anchor.y + 55 + 20 * k++ };
    return places;
}

} // namespace tessary
