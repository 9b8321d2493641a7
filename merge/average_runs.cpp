#include "merge/average_runs.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tessary {

PerPlace<double> averageRunWeights(const MergeSetup& setup)
{
    PerPlace<double> weights {};
    for (int32_t i = 0; i < setup.count; ++i) {
        const size_t s = size_t(i);
        const MergeLayer& layer = setup.layers[s];
        const double w = setup.biasWeight[s];
        if (layer.topLevel == -1 && layer.bottomLevel == -1 && setup.fadeEdge[s] != 1 && w > 0.0
            && std::isfinite(w))
            weights[s] = w;
    }
    return weights;
}

namespace {
// Channel bytes per pass: the sums stay in the first level cache.
constexpr int32_t kChunk = 1536;

void exactIntegerRun(const uint8_t* const* pixels, const uint32_t* weights, int32_t n, uint32_t total,
    int32_t bytes, uint8_t* out)
{
    // q = floor(S / total) for S <= 255 * total < 2^20 and 2 <= total < 4096: with
    // M = floor(2^32 / total) + 1 (below 2^32), S * M / 2^32 exceeds S / total by less than
    // 2^-12, less than the 1 / total that separates a quotient's fraction from the next whole
    // number. The operator's tolerance of 1e-7 moves no such quotient either.
    const uint32_t multiplier = uint32_t((uint64_t(1) << 32) / total + 1);
    uint32_t sum[kChunk];
    for (int32_t start = 0; start < bytes; start += kChunk) {
        const int32_t m = std::min(kChunk, bytes - start);
        std::fill(sum, sum + m, 0u);
        for (int32_t k = 0; k < n; ++k) {
            const uint8_t* p = pixels[k] + start;
            const uint32_t w = weights[k];
            for (int32_t j = 0; j < m; ++j)
                sum[j] += w * p[j];
        }
        for (int32_t j = 0; j < m; ++j)
            out[start + j] = uint8_t((uint64_t(sum[j]) * multiplier) >> 32);
    }
}

void doubleRun(const uint8_t* const* pixels, const double* weights, int32_t n, double total, int32_t bytes,
    uint8_t* out)
{
    double sum[kChunk];
    for (int32_t start = 0; start < bytes; start += kChunk) {
        const int32_t m = std::min(kChunk, bytes - start);
        std::fill(sum, sum + m, 0.0);
        for (int32_t k = 0; k < n; ++k) {
            const uint8_t* p = pixels[k] + start;
            const double w = weights[k];
            for (int32_t j = 0; j < m; ++j)
                sum[j] += w * p[j];
        }
        for (int32_t j = 0; j < m; ++j)
            out[start + j] = merge_kernel::channelByte(sum[j] / total + merge_kernel::kQuotientTolerance);
    }
}
}

void averageRun(const uint8_t* const* pixels, const double* weights, int32_t n, int32_t count, uint8_t* out)
{
    // The operator's weight sum, added up in the same order.
    double total = 0.0;
    bool whole = true;
    uint32_t integers[kMaxSources] {};
    for (int32_t k = 0; k < n; ++k) {
        total += weights[k];
        whole = whole && weights[k] == std::floor(weights[k]) && weights[k] < 4096.0;
        integers[k] = whole ? uint32_t(weights[k]) : 0;
    }
    const int32_t bytes = 3 * count;
    if (whole && n == 1) // (w * c) / w is c: the source's own bytes
        std::memcpy(out, pixels[0], size_t(bytes));
    else if (whole && total >= 2.0 && total < 4096.0)
        exactIntegerRun(pixels, integers, n, uint32_t(total), bytes, out);
    else
        doubleRun(pixels, weights, n, total, bytes, out);
}

} // namespace tessary
