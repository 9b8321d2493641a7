#pragma once
#include <cstdint>

namespace tessary {

// The last print layout, written when the layout dialog closes with Print and read while the
// page is drawn. Lengths in inches; the alignment is 1 top, 2 middle, 3 bottom.
struct PrintSettings {
    int32_t printAlignment = 1;
    int32_t printKeepAspect = 1;
    int32_t printStretch = 0;
    double printWidthInches = 0.0;
    double printHeightInches = 0.0;
    double printLeftInches = 0.0;
    double printTopInches = 0.0;
};

} // namespace tessary
