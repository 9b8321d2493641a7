#pragma once
#include "image/masked_dib.h"

#include <string>

namespace tessary::cli {

class TerminalPlatform;
}
namespace tessary {
struct MergeLayout;
}
namespace tessary::cli {

// The endings a written file may have, as named in the tool's messages.
inline constexpr const char* kOutputEndings = "bmp, jpg, png, tif, tga or pcx";

// True when `path` can be opened for reading; otherwise says so on stderr.
bool readable(const std::string& path);

// Writes the 24-bit picture of `image` (its mask left out) to `path` in the format named by the
// path's last three characters. On failure the program's message is shown and the result is false.
bool savePicture(const MaskedDib& image, const std::string& path, TerminalPlatform& platform);

// Text sources are drawn with the desktop's fonts, which the command line does not have: a
// layout holding one is refused. True (after saying so on stderr, naming the source) when it does.
bool refuseTextSources(const MergeLayout& layout, const char* command);

} // namespace tessary::cli
