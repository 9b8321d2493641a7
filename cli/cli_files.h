#pragma once
#include "app/arrangement.h"
#include "image/masked_dib.h"

#include <optional>
#include <string>

namespace tessary::cli {

class TerminalPlatform;

// The endings a written file may have, as named in the tool's messages.
inline constexpr const char* kOutputEndings = "bmp, jpg (jpeg, jpe), png, tif (tiff), tga or pcx";

// True when `path` is something to read (not a folder) that we may read; otherwise says why on
// stderr, naming it.
bool readable(const std::string& path);

// True when a save may go to `path` (nothing there yet, or a regular file, links followed);
// otherwise says why on stderr, naming it, and shows the program's message of a failed save.
bool outputAllowed(const std::string& path, TerminalPlatform& platform);

// Writes the 24-bit picture of `image` (its mask left out) to `path` in the format named by the
// path's last three characters. On failure a message is shown and the result is false.
bool savePicture(const MaskedDib& image, const std::string& path, TerminalPlatform& platform);

// The layout file at `path` for `command` ("merge" or "batch"), or none after saying why on
// stderr, naming the file or the field: it cannot be read, is not a valid layout, or holds a
// text source (drawn with the desktop's fonts, which the command line does not have).
std::optional<MergeLayout> readCommandLayout(const std::string& path, const char* command);

} // namespace tessary::cli
