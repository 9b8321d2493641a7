#pragma once
// A PNG with an alpha channel, written here byte by byte (the program's own PNG writer stores
// no alpha): eight-bit RGBA rows from the top, unfiltered, in one IDAT chunk.
#include <cstdint>
#include <string>
#include <vector>
#include <zlib.h>

namespace tessary::testing {

struct Rgba {
    uint8_t r, g, b, a;
};

inline std::vector<uint8_t> rgbaPng(int32_t width, int32_t height, const std::vector<Rgba>& topDownPixels)
{
    std::vector<uint8_t> out = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    const auto put32 = [](std::vector<uint8_t>& v, uint32_t x) {
        for (int shift = 24; shift >= 0; shift -= 8)
            v.push_back(uint8_t(x >> shift));
    };
    const auto chunk = [&](const char* type, const std::vector<uint8_t>& data) {
        put32(out, uint32_t(data.size()));
        std::vector<uint8_t> body(type, type + 4);
        body.insert(body.end(), data.begin(), data.end());
        out.insert(out.end(), body.begin(), body.end());
        put32(out, uint32_t(crc32(0, body.data(), uInt(body.size()))));
    };
    std::vector<uint8_t> header;
    put32(header, uint32_t(width));
    put32(header, uint32_t(height));
    header.insert(header.end(), { 8, 6, 0, 0, 0 }); // 8 bits, RGBA, deflate, no filter, no interlace
    chunk("IHDR", header);
    std::vector<uint8_t> raw;
    for (int32_t y = 0; y < height; ++y) {
        raw.push_back(0);
        for (int32_t x = 0; x < width; ++x) {
            const Rgba& p = topDownPixels[size_t(y) * size_t(width) + size_t(x)];
            raw.insert(raw.end(), { p.r, p.g, p.b, p.a });
        }
    }
    uLongf size = compressBound(uLong(raw.size()));
    std::vector<uint8_t> packed(size);
    compress(packed.data(), &size, raw.data(), uLong(raw.size()));
    packed.resize(size);
    chunk("IDAT", packed);
    chunk("IEND", {});
    return out;
}

} // namespace tessary::testing
