#pragma once
#include "image/masked_dib.h"

#include <string>

namespace tessary::cli {

class TerminalPlatform;

// The endings a written file may have, as named in the tool's messages.
inline constexpr const char* kOutputEndings = "bmp, jpg, png, tif, tga or pcx";

// True when `path` can be opened for reading; otherwise says so on stderr.
bool readable(const std::string& path);

// Writes the 24-bit picture of `image` (its mask left out) to `path` in the format named by the
// path's last three characters. On failure the program's message is shown and the result is false.
bool savePicture(const MaskedDib& image, const std::string& path, TerminalPlatform& platform);

} // namespace tessary::cli
