#pragma once
// What the benchmarks share: a platform with no one in front of it and a test picture.
#include "app/silent_platform.h"
#include "image/masked_dib.h"

namespace tessary::bench {

using tessary::SilentPlatform;

// A w x h 24-bit picture with smooth gradients and some texture, fully opaque.
inline MaskedDib benchPicture(int32_t w, int32_t h, uint32_t seed)
{
    MaskedDib image;
    if (allocateMaskedDib(h, w, image, 24))
        return image;
    uint32_t state = seed * 2654435761u + 1;
    for (int32_t row = 0; row < h; ++row) {
        uint8_t* p = image.dib->row(row);
        for (int32_t x = 0; x < w; ++x, p += 3) {
            state = state * 1664525u + 1013904223u;
            const uint32_t noise = state >> 28;
            p[0] = uint8_t((x * 255 / w + noise) & 0xFF);
            p[1] = uint8_t((row * 255 / h + noise) & 0xFF);
            p[2] = uint8_t(((x + row) * 127 / (w + h) + seed * 40 + noise) & 0xFF);
        }
    }
    return image;
}

} // namespace tessary::bench
