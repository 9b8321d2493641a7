#pragma once
#include "image/packed_dib.h"
#include "output/image_metadata.h"

#include <string>

namespace tessary {

inline constexpr const char* kFailedFileSave = "Failed the file save!";

// Writes a 24-bit image in the format named by the path's last three characters, as the
// program's saves do: BMP through writeBmpFile, JPEG, PNG, TIFF, TGA and PCX by decoding the
// bitmap from memory and saving it through the codec layer. The existing file survives any
// failure. False when the ending names none of the six formats or the save failed; the caller
// shows "Failed the file save!".
//
// JPEG, PNG and TIFF files also get `metadata`, made true of the image (see ImageMetadata);
// BMP, TGA and PCX have no place for it. Metadata that cannot be written is left out: the
// image is saved all the same.
bool writeImageFile(const PackedDib& image, const std::string& path, const ImageMetadata& metadata = {});

} // namespace tessary
