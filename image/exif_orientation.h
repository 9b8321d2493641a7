#pragma once
#include <cstddef>
#include <cstdint>

namespace tessary {

// The orientation a TIFF-structured block records in its first directory (tag 274), as an
// EXIF block, a JPEG's APP1 or a PNG's eXIf chunk holds it: 1..8, or 1 when the block has
// none, says something else, or is broken. Either byte order; every offset is checked against
// `size`, and only the first directory is read, so no chain of directories can loop.
uint16_t exifOrientation(const uint8_t* block, size_t size);

// The same for an EXIF payload that may still start with the "Exif\0\0" header of a JPEG APP1
// segment (some PNG writers keep it in eXIf too).
uint16_t exifPayloadOrientation(const uint8_t* payload, size_t size);

} // namespace tessary
