#pragma once
// Small images built inside the merge tests: 24-bit images from a colour function, random images of
// every depth the accessors read, and direct pixel reads of 24-bit results.
#include "image/colour.h"
#include "image/masked_dib.h"
#include "image/packed_dib.h"
#include "output/write_image_file.h"

#include <cstring>
#include <functional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace tessary::testing {

inline BgrColour pixelAt(const MaskedDib& image, int32_t x, int32_t row)
{
    const uint8_t* p = image.dib->row(row) + 3 * size_t(x);
    return BgrColour { p[0], p[1], p[2] };
}

inline uint16_t maskAt(const MaskedDib& image, int32_t x, int32_t row)
{
    return image.mask[size_t(row) * size_t(image.width()) + size_t(x)];
}

inline void setPixel(MaskedDib& image, int32_t x, int32_t row, BgrColour c)
{
    uint8_t* p = image.dib->row(row) + 3 * size_t(x);
    p[0] = c.blue;
    p[1] = c.green;
    p[2] = c.red;
}

// A w x h 24-bit image, colour(x, row) at every pixel, fully opaque.
inline MaskedDib makeImage24(int32_t w, int32_t h, const std::function<BgrColour(int32_t, int32_t)>& colour)
{
    MaskedDib image;
    if (allocateMaskedDib(h, w, image, 24))
        throw std::runtime_error("allocation failed");
    for (int32_t row = 0; row < h; ++row)
        for (int32_t x = 0; x < w; ++x)
            setPixel(image, x, row, colour(x, row));
    return image;
}

inline MaskedDib solidImage24(int32_t w, int32_t h, BgrColour c)
{
    return makeImage24(w, h, [c](int32_t, int32_t) { return c; });
}

// A w x h image of colour c saved at `path` in the format its ending names; false on failure.
inline bool writeSolidImage(const std::string& path, int32_t w, int32_t h, BgrColour c)
{
    const MaskedDib image = solidImage24(w, h, c);
    return writeImageFile(*image.dib, path);
}

// A random image of `bits` per pixel (1, 4, 8, 16, 24, 32). 16 bits uses 5-6-5 bit fields when
// `bitFields` is set and 5-5-5 otherwise; 32 bits uses plain bytes with random fourth bytes.
// Paletted images get a random colour table; masks mix 0, partial values and 65535.
inline MaskedDib randomImage(int32_t w, int32_t h, int bits, std::mt19937& rng, bool bitFields = false)
{
    std::uniform_int_distribution<int> byte(0, 255);
    MaskedDib image;
    if (bits == 1 || bits == 4 || bits == 8 || bits == 24) {
        if (allocateMaskedDib(h, w, image, bits))
            throw std::runtime_error("allocation failed");
        uint8_t* table = image.dib->data() + 40;
        if (bits <= 8)
            for (size_t i = 0; i < 4 * (size_t(1) << bits); ++i)
                table[i] = (i % 4 == 3) ? 0 : uint8_t(byte(rng));
    } else {
        const size_t masks = (bits == 16 && bitFields) ? 12 : 0;
        const uint32_t stride = rowStride(w, bits);
        const size_t size = 40 + masks + size_t(stride) * size_t(h);
        image.dib = PackedDib::allocate(size);
        BitmapInfoHeader hd;
        hd.biWidth = w;
        hd.biHeight = h;
        hd.biBitCount = uint16_t(bits);
        hd.biCompression = masks ? 3 : 0;
        hd.biSizeImage = stride * uint32_t(h);
        image.dib->setHeader(hd);
        if (masks) {
            const uint32_t m[3] = { 0xF800, 0x07E0, 0x001F };
            std::memcpy(image.dib->data() + 40, m, sizeof m);
        }
        if (allocateMask(image, 0xFF))
            throw std::runtime_error("allocation failed");
    }
    for (int32_t row = 0; row < h; ++row) {
        uint8_t* p = image.dib->row(row);
        for (uint32_t i = 0; i < image.dib->stride(); ++i)
            p[i] = uint8_t(byte(rng));
    }
    std::uniform_int_distribution<int> kind(0, 9);
    for (uint32_t i = 0; i < image.maskCount; ++i) {
        const int k = kind(rng);
        image.mask[i] = k == 0 ? 0
            : k == 1           ? uint16_t(std::uniform_int_distribution<int>(1, 65534)(rng))
                               : 65535;
    }
    return image;
}

// The same bytes and the same mask values, whatever form each mask is held in: compared row by
// row as the row passes read them, and value by value.
inline bool sameImage(const MaskedDib& a, const MaskedDib& b)
{
    if (a.empty() || b.empty())
        return a.empty() == b.empty();
    if (a.dib->size() != b.dib->size() || std::memcmp(a.dib->data(), b.dib->data(), a.dib->size()) != 0)
        return false;
    if (a.maskCount != b.maskCount)
        return false;
    if (a.maskCount == 0)
        return true;
    const size_t w = size_t(a.width());
    std::vector<uint16_t> scratchA(w), scratchB(w);
    for (int32_t r = 0; r < a.height(); ++r) {
        const uint16_t* rowA = a.maskValues(r, 0, a.width(), scratchA.data());
        const uint16_t* rowB = b.maskValues(r, 0, b.width(), scratchB.data());
        if (std::memcmp(rowA, rowB, w * sizeof(uint16_t)) != 0)
            return false;
    }
    for (size_t i = 0; i < a.maskCount; ++i)
        if (a.mask[i] != b.mask[i])
            return false;
    return true;
}

// The same image with its mask held as row spans (a transformed image's form).
inline MaskedDib withRowSpans(const MaskedDib& image)
{
    MaskedDib copy = image.clone();
    if (copy.empty() || copy.maskCount == 0)
        return copy;
    MaskPlane spans = MaskPlane::rowSpans(copy.width(), copy.height());
    std::vector<uint16_t> row(size_t(copy.width()));
    for (int32_t r = 0; r < copy.height(); ++r) {
        const uint16_t* values = image.maskValues(r, 0, image.width(), row.data());
        if (!spans.storeRow(r, copy.width(), values))
            throw std::runtime_error("allocation failed");
    }
    copy.mask = std::move(spans);
    return copy;
}

} // namespace tessary::testing
