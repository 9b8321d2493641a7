#pragma once
#include "image/masked_dib.h"

#include <cstdint>

namespace tessary {

// A zero-filled 24-bit image under the same limits as allocateMaskedDib (sides 0..20000, at most
// 200,000,000 bytes), but without an opacity mask: the merge image and the final target are
// written whole and their opacity is never read, so the mask would only add two bytes per pixel
// to the peak memory of a generation. True on failure, leaving `target` empty.
bool allocateUnmaskedImage(int32_t height, int32_t width, MaskedDib& target);

} // namespace tessary
