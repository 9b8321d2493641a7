#pragma once
#include "image/masked_dib.h"

namespace tessary {

class Platform;

inline constexpr const char* kCopyTo24BitFailedText = "Not enough memory ???";

// The 24-bit working copy every correction and hand-over starts from: `copyPixelsTo24Bit`, and
// on failure "Not enough memory ???" (error icon) through `platform` when given. True on failure.
bool copyTo24Bit(const MaskedDib& source, MaskedDib& target, Platform* platform);
// The same from a bare bitmap (a clipboard or target image), given a fully opaque mask.
bool copyTo24Bit(const PackedDib& source, MaskedDib& target, Platform* platform);

} // namespace tessary
