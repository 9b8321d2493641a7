#include "merge/bias_pie.h"

#include "app/workspace.h"
#include "merge/merge_layers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tessary {

namespace {
int32_t loadedCount(const MergeWorkspace& workspace)
{
    return std::clamp(workspace.sourceCount, 0, kMaxSources);
}

bool middle(const MergeWorkspace& workspace, int32_t slot)
{
    return isMiddleSource(workspace.alignDoc, slot);
}
}

void resetPie(MergeWorkspace& workspace)
{
    const int32_t count = loadedCount(workspace);
    int32_t n = 0;
    for (int32_t i = 0; i < count; ++i)
        n += middle(workspace, i) ? 1 : 0;
    workspace.middleSourceCount = n;
    for (int32_t i = 0; i < count; ++i)
        workspace.biasWeight[size_t(i)] = middle(workspace, i) ? kBiasWeightTotal / double(n) : 0.0;
    workspace.blendSettingsChanged = 1;
}

std::vector<PieWedge> pieWedges(const MergeWorkspace& workspace, int32_t rx, int32_t ry)
{
    std::vector<PieWedge> wedges;
    double phi = 0.0;
    ViewPoint previous { 0, -1 };
    const int32_t count = loadedCount(workspace);
    for (int32_t i = 0; i < count; ++i) {
        if (!middle(workspace, i))
            continue;
        phi += workspace.biasWeight[size_t(i)] * kFullTurn / kBiasWeightTotal;
        const ViewPoint end { int32_t(rx * std::sin(phi)), int32_t(-ry * std::cos(phi)) };
        if (end == previous)
            continue;
        // Both end points on one radial: the wedge goes all the way round when it is the
        // larger part of the turn, and is too thin to draw otherwise (the first wedge's end
        // point lies on the starting radial even at weight 0).
        const int64_t cross = int64_t(previous.x) * end.y - int64_t(previous.y) * end.x;
        const int64_t dot = int64_t(previous.x) * end.x + int64_t(previous.y) * end.y;
        const bool oneRadial = cross == 0 && dot > 0;
        if (oneRadial && workspace.biasWeight[size_t(i)] <= 50.0)
            continue;
        wedges.push_back(PieWedge { i, previous, end, oneRadial });
        previous = end;
    }
    return wedges;
}

double piePercent(int32_t x, int32_t y)
{
    double a = std::atan2(double(x), double(-y));
    if (a < 0)
        a += kFullTurn;
    return a / kFullTurn * kBiasWeightTotal;
}

namespace {
struct Found {
    int32_t slot;
    double start;
};
std::optional<Found> findWedge(const MergeWorkspace& workspace, double percent)
{
    double sum = 0.0;
    const int32_t count = loadedCount(workspace);
    for (int32_t i = 0; i < count; ++i) {
        if (!middle(workspace, i))
            continue;
        const double start = sum;
        sum += workspace.biasWeight[size_t(i)];
        if (sum > percent)
            return Found { i, start };
    }
    return std::nullopt;
}

std::optional<int32_t> nextMiddle(const MergeWorkspace& workspace, int32_t slot)
{
    for (int32_t i = slot + 1; i < loadedCount(workspace); ++i)
        if (middle(workspace, i))
            return i;
    return std::nullopt;
}
}

std::optional<int32_t> wedgeAt(const MergeWorkspace& workspace, double percent)
{
    const auto found = findWedge(workspace, percent);
    return found ? std::optional<int32_t>(found->slot) : std::nullopt;
}

std::optional<WedgeHold> holdWedge(const MergeWorkspace& workspace, double percent)
{
    const auto found = findWedge(workspace, percent);
    // The last middle-layer wedge has no neighbour to take up its change.
    if (!found || !nextMiddle(workspace, found->slot))
        return std::nullopt;
    return WedgeHold { found->slot, found->start };
}

void dragWedge(MergeWorkspace& workspace, const WedgeHold& hold, double percent)
{
    const auto neighbour = nextMiddle(workspace, hold.slot);
    if (!neighbour)
        return;
    PerPlace<double>& w = workspace.biasWeight;
    double& g = w[size_t(hold.slot)];
    double& h = w[size_t(*neighbour)];
    g = percent - hold.start;
    double total = 0.0;
    for (int32_t i = 0; i < loadedCount(workspace); ++i)
        if (middle(workspace, i))
            total += w[size_t(i)];
    h += kBiasWeightTotal - total;
    if (h < 0) {
        g += h;
        h = 0;
    }
    if (g < 0) {
        h += g;
        g = 0;
    }
}

std::string pieStatsLine(int32_t number, double weight)
{
    char text[64];
    std::snprintf(text, sizeof text, "Source: %d >> %.1f%%", number, weight);
    return text;
}

} // namespace tessary
