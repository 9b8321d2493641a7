#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

namespace tessary {

// A conversion of 8-bit RGB to sRGB that is a curve per channel, a matrix (with an offset) and
// the sRGB curve: what Little CMS computes for a matrix/curve profile, black-point compensation
// included, but at a few table look-ups per pixel. Each input channel's share of the linear
// sRGB result is measured once through Little CMS itself (a transform into linear-light sRGB),
// so the result follows its arithmetic; only the final rounding may differ by one.
class SeparableTransform {
public:
    // Builds the tables for `profile` (a Little CMS profile handle) converted with `intent` and
    // `flags`; false when the profile is not matrix/curve for that intent, or Little CMS fails.
    bool build(void* profile, uint32_t intent, uint32_t flags);
    // Converts `count` pixels of blue, green, red in place.
    void apply(uint8_t* bgr, size_t count) const;

private:
    static constexpr int kEncodeBits = 14;
    // Per input value of red, green, blue: its share of linear red, green and blue, in units
    // of 1 / 2^kEncodeBits (the offset folded into red's share); four lanes, so that a share
    // is one vector.
    struct alignas(16) Share {
        int32_t lane[4];
    };
    Share share_[3][256] {};
    // Linear light 0 .. 2^kEncodeBits -> sRGB value.
    std::unique_ptr<uint8_t[]> encode_;
};

} // namespace tessary
