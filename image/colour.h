#pragma once
#include <cstdint>

namespace tessary {

// Three bytes in the order of 24-bit rows: blue, green, red.
struct BgrColour {
    uint8_t blue = 0;
    uint8_t green = 0;
    uint8_t red = 0;
    friend bool operator==(const BgrColour&, const BgrColour&) = default;
};

// Colours kept as settings are 32-bit 0x00BBGGRR values with red in the low byte.
using ColourRef = uint32_t;

constexpr ColourRef makeColourRef(uint8_t red, uint8_t green, uint8_t blue)
{
    return ColourRef(red) | (ColourRef(green) << 8) | (ColourRef(blue) << 16);
}
constexpr uint8_t redOf(ColourRef c) { return uint8_t(c & 0xFF); }
constexpr uint8_t greenOf(ColourRef c) { return uint8_t((c >> 8) & 0xFF); }
constexpr uint8_t blueOf(ColourRef c) { return uint8_t((c >> 16) & 0xFF); }
constexpr BgrColour toBgr(ColourRef c) { return BgrColour { blueOf(c), greenOf(c), redOf(c) }; }

} // namespace tessary
