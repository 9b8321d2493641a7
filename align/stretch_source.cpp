#include "align/stretch_source.h"

#include "align/placement_commands.h"
#include "app/workspace.h"
#include "app/workspace_values.h"
#include "merge/transform_geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tessary {

namespace {
constexpr int kStretchSteps = 100;
constexpr double kLargestScale = std::numeric_limits<int32_t>::max();

double keptScale(double scale)
{
    if (std::isnan(scale))
        return 1.0;
    return std::clamp(scale, 1.0, kLargestScale);
}

// trunc(scale)·size / 1024, integer division; 64 bits hold any scale up to INT32_MAX times
// any image side.
int64_t scaledSide(double scale, int32_t size)
{
    return int64_t(std::trunc(scale)) * size / 1024;
}
}

StretchResult stretchScales(const StretchInput& in)
{
    double a = in.rotation;
    if (in.rotation < 0)
        a += 180;
    if (a > 90)
        a = 180 - a;
    const double c = std::cos(a * kDegreesToRadians);
    const double s = std::sin(a * kDegreesToRadians);
    // Horizontally the width follows the cosine; vertically the height does.
    const bool horizontal = in.axis == Axis::Horizontal;
    const double kx = horizontal ? c : s;
    const double ky = horizontal ? s : c;

    const double T = double(in.othersSize);
    int64_t e = in.extent;
    double f = 1;
    double SX = in.scaleX, SY = in.scaleY;
    for (int step = 0; step < kStretchSteps && e > 0 && in.othersSize > 0; ++step) {
        f = f * T / double(e);
        const double g = f - 1;
        SX = keptScale((1 + kx * g) * in.scaleX);
        SY = keptScale((1 + ky * g) * in.scaleY);
        e = int64_t(std::trunc(std::fabs(kx) * double(scaledSide(SX, in.width))
            + std::fabs(ky) * double(scaledSide(SY, in.height))));
    }
    return StretchResult { std::trunc(keptScale(SX)), std::trunc(keptScale(SY)), e };
}

int stretchSelectedSource(MergeWorkspace& workspace, Platform& platform, Axis axis)
{
    return editSelected(workspace, platform, axis == Axis::Horizontal ? "Horizontal Stretch" : "Vertical Stretch",
        [&workspace, axis](WorkspaceValues& v, int32_t n) {
            const OthersExtent others = othersExtent(workspace, n, axis);
            if (!others.any)
                return false;
            Placement& p = v.placement[size_t(n - 1)];
            const OriginalSize original = originalSize(*workspace.source(n));
            const StretchResult stretched = stretchScales(StretchInput { axis, others.size(),
                transformedSize(workspace, n, axis), p.rotation, original.width, original.height, p.scaleX, p.scaleY });
            p.scaleX = stretched.scaleX;
            p.scaleY = stretched.scaleY;
            (axis == Axis::Horizontal ? p.posX : p.posY) = int32_t(others.low);
            return true;
        });
}

} // namespace tessary
