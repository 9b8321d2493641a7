#pragma once
#include "image/packed_dib.h"

#include <string>

namespace tessary {

inline constexpr const char* kFailedFileSave = "Failed the file save!";

// Writes a 24-bit image in the format named by the path's last three characters, as the
// program's saves do: BMP through writeBmpFile, JPEG, PNG, TIFF, TGA and PCX by decoding the
// bitmap from memory and saving it through the codec layer. The existing file survives any
// failure. False when the ending names none of the six formats or the save failed; the caller
// shows "Failed the file save!".
bool writeImageFile(const PackedDib& image, const std::string& path);

} // namespace tessary
