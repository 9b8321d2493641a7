#pragma once
#include <cstdint>

namespace tessary {

class CxImage;

// Helpers shared by the codecs.

// Writes stored row `storedRow` of the image (0 = bottom line) as width x 3 bytes red, green,
// blue, expanding 1-, 4- and 8-bit rows through the colour table. `rgb` holds 3 x width bytes.
void dibRowToRgb(CxImage& image, uint32_t storedRow, uint8_t* rgb);

// Pixels per metre for a resolution in dots per inch, rounded to nearest (96 dpi -> 3780), held
// within the 32-bit range of the header fields.
int32_t dpiToPixelsPerMetre(int32_t dpi);

// Dots per inch for pixels per metre, rounded to nearest (3780 -> 96); 0 for no resolution
// (0 or less), which the image reads as 96.
int32_t pixelsPerMetreToDpi(int64_t ppm);

} // namespace tessary
