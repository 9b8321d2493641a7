#pragma once
#include "app/places.h"
#include "image/colour.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <memory>

namespace tessary {

// The input of a merge operator for one target pixel: one entry per source slot. Only entries
// whose `status` is 0 are read; the others may hold values left over from earlier pixels.
struct MergeSample {
    PerPlace<BgrColour> colour {};
    PerPlace<int32_t> fadeEdge {}; // 1 = weigh this source down towards its edges
    PerPlace<double> biasWeight {}; // percent
    PerPlace<int32_t> status {}; // 0 = contributes to this pixel, -1 = doesn't
    PerPlace<double> relX {}; // column inside the source / source width, in [0, 1)
    PerPlace<double> relY {}; // row inside the source / source height, in [0, 1)
    PerPlace<uint16_t> blend {}; // opacity at this point, 1..65535
};

// The three workspace values every operator reads besides the sample.
struct MergeContext {
    int32_t sourceCount = 0; // N: all loaded sources, whatever their layer
    int32_t thresholdFuzziness = 4; // T
    ColourRef backgroundColour = 0;
};

// The per-pixel arithmetic of the operators. The classes below and the fast target passes call
// these same functions, so both produce identical bytes.
namespace merge_kernel {

// D_i: the bias weight, faded towards the source's first column and row when asked for.
inline double biasedWeight(const MergeSample& s, size_t i)
{
    double fade = 1.0;
    if (s.fadeEdge[i] == 1) {
        const double dx = s.relX[i] - 0.5;
        const double dy = s.relY[i] - 0.5;
        fade = (1.0 - 4.0 * dx * dx) * (1.0 - 4.0 * dy * dy);
    }
    return s.biasWeight[i] * fade;
}

// A_i = (blend / 65535) ^ (N * D / 100). A fully opaque point gives exactly 1 (ln 1 is exactly
// 0 and exp 0 exactly 1), so the library calls are skipped there without changing a bit.
inline double opacityFactor(uint16_t blend, int32_t sourceCount, double d)
{
    if (blend == 65535)
        return 1.0;
    return std::exp(std::log(blend / 65535.0) * sourceCount * d / 100.0);
}

inline double luminance(const BgrColour& c)
{
    return (0.11 * c.blue + 0.59 * c.green + 0.3 * c.red) / 255.0;
}

inline double chroma(const BgrColour& c)
{
    const double a = c.red - 0.5 * c.green - 0.5 * c.blue;
    const double b = 0.866 * (c.green - c.blue);
    return std::sqrt(a * a + b * b) / 255.0;
}

// exp(-T * distance); a key equal to the extreme keeps its full weight (exp(-0) is exactly 1).
inline double fuzzFactor(double threshold, double distance)
{
    if (distance == 0.0)
        return 1.0;
    return std::exp(-threshold * distance);
}

// Truncated toward zero. With weights that are not negative the quotient lies in 0..255; the
// clamp only keeps odd inputs (negative or non-finite weights) from an undefined conversion.
inline uint8_t channelByte(double value)
{
    if (!(value > 0.0))
        return 0;
    if (value >= 255.0)
        return 255;
    return uint8_t(int32_t(value));
}

// A weighted mean of colours. In doubles w * c / w often lands one last bit below c, which
// truncation would turn into c - 1, so a colour every contributor shares came back one level
// darker. A tolerance far below one colour level and far above any rounding error brings it
// back; only quotients within 1e-7 below a whole number move.
inline constexpr double kQuotientTolerance = 1e-7;

inline BgrColour quotient(double blue, double green, double red, double weight)
{
    return BgrColour { channelByte(blue / weight + kQuotientTolerance),
        channelByte(green / weight + kQuotientTolerance), channelByte(red / weight + kQuotientTolerance) };
}

inline void average(const MergeSample& s, const MergeContext& ctx, BgrColour& out)
{
    double blue = 0.0, green = 0.0, red = 0.0, weight = 0.0;
    bool any = false;
    for (size_t i = 0; i < size_t(kMaxSources); ++i) {
        if (s.status[i] != 0)
            continue;
        any = true;
        const double d = biasedWeight(s, i);
        const double w = d * opacityFactor(s.blend[i], ctx.sourceCount, d);
        blue += w * s.colour[i].blue;
        green += w * s.colour[i].green;
        red += w * s.colour[i].red;
        weight += w;
    }
    if (!any || weight == 0.0) {
        out = toBgr(ctx.backgroundColour);
        return;
    }
    out = quotient(blue, green, red, weight);
}

// The four selecting operators: find the extreme key, then weigh every source down by its
// distance from it. A weight sum of 0 gives the background colour, as the average does.
template <double (*Key)(const BgrColour&), bool Maximum>
inline void selecting(const MergeSample& s, const MergeContext& ctx, BgrColour& out)
{
    std::array<double, kMaxSources> d {};
    std::array<double, kMaxSources> key {};
    double extreme = Maximum ? 0.0 : 255.0;
    bool any = false;
    for (size_t i = 0; i < size_t(kMaxSources); ++i) {
        if (s.status[i] != 0)
            continue;
        any = true;
        d[i] = biasedWeight(s, i);
        key[i] = Key(s.colour[i]);
        if (Maximum ? key[i] > extreme : key[i] < extreme)
            extreme = key[i];
    }
    if (!any) {
        out = toBgr(ctx.backgroundColour);
        return;
    }
    const double threshold = ctx.thresholdFuzziness;
    double blue = 0.0, green = 0.0, red = 0.0, weight = 0.0;
    for (size_t i = 0; i < size_t(kMaxSources); ++i) {
        if (s.status[i] != 0)
            continue;
        const double distance = Maximum ? extreme - key[i] : key[i] - extreme;
        const double w
            = d[i] * opacityFactor(s.blend[i], ctx.sourceCount, d[i]) * fuzzFactor(threshold, distance);
        blue += w * s.colour[i].blue;
        green += w * s.colour[i].green;
        red += w * s.colour[i].red;
        weight += w;
    }
    if (weight == 0.0) {
        out = toBgr(ctx.backgroundColour);
        return;
    }
    out = quotient(blue, green, red, weight);
}

inline void greatest(const MergeSample& s, const MergeContext& c, BgrColour& o)
{
    selecting<luminance, true>(s, c, o);
}
inline void least(const MergeSample& s, const MergeContext& c, BgrColour& o)
{
    selecting<luminance, false>(s, c, o);
}
inline void saturated(const MergeSample& s, const MergeContext& c, BgrColour& o)
{
    selecting<chroma, true>(s, c, o);
}
inline void grey(const MergeSample& s, const MergeContext& c, BgrColour& o)
{
    selecting<chroma, false>(s, c, o);
}

} // namespace merge_kernel

// The merge operators: one per merge type. Each is a pure function of the sample and the
// context it was made with; the base writes black.
class CPixel {
public:
    explicit CPixel(const MergeContext& context)
        : context_(context)
    {
    }
    virtual ~CPixel() = default;
    virtual void mergePixel(const MergeSample& sample, BgrColour& colour) const;
    const MergeContext& context() const { return context_; }

protected:
    MergeContext context_;
};

class CMergeAverage : public CPixel {
public:
    using CPixel::CPixel;
    void mergePixel(const MergeSample& sample, BgrColour& colour) const override;
};

// Brightest: the largest luminance.
class CMergeGreatest : public CPixel {
public:
    using CPixel::CPixel;
    void mergePixel(const MergeSample& sample, BgrColour& colour) const override;
};

// Darkest: the smallest luminance.
class CMergeLeast : public CPixel {
public:
    using CPixel::CPixel;
    void mergePixel(const MergeSample& sample, BgrColour& colour) const override;
};

// Most colored: the largest chroma.
class CMergeSaturated : public CPixel {
public:
    using CPixel::CPixel;
    void mergePixel(const MergeSample& sample, BgrColour& colour) const override;
};

// Least colored: the smallest chroma.
class CMergeGrey : public CPixel {
public:
    using CPixel::CPixel;
    void mergePixel(const MergeSample& sample, BgrColour& colour) const override;
};

// The operator `mergeType` (0..4) names; any other value gives the Average.
std::unique_ptr<CPixel> makeMergeOperator(int32_t mergeType, const MergeContext& context);

} // namespace tessary
