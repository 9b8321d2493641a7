#include "align/layout_extent.h"

#include <algorithm>
#include <limits>

namespace tessary {

LayoutExtent layoutExtent(
    const CAlignDoc& alignDoc, const PerPlace<LayoutExtent>& sizes, int32_t sourceCount)
{
    const int32_t count = std::clamp(sourceCount, 0, kMaxSources);
    int64_t width = 0, height = 0;
    for (int32_t i = 0; i < count; ++i) {
        const LayoutExtent& t = sizes[size_t(i)];
        width = std::max(width, int64_t(alignDoc.placement[size_t(i)].posX) + t.width);
        height = std::max(height, int64_t(alignDoc.placement[size_t(i)].posY) + t.height);
    }
    constexpr int64_t cap = std::numeric_limits<int32_t>::max();
    return LayoutExtent { int32_t(std::min(width, cap)), int32_t(std::min(height, cap)) };
}

LayoutExtent layoutExtent(
    const CAlignDoc& alignDoc, const PerPlace<MaskedDib>& transformed, int32_t sourceCount)
{
    PerPlace<LayoutExtent> sizes {};
    for (size_t s = 0; s < sizes.size(); ++s)
        sizes[s] = LayoutExtent { transformed[s].width(), transformed[s].height() };
    return layoutExtent(alignDoc, sizes, sourceCount);
}

} // namespace tessary
