#pragma once
#include <string>

namespace tessary {

class CxImage;
class Platform;

// The steps between decoding a picture file and making it a source: the picture's colour
// profile brings it into sRGB, and its orientation turns it upright (unless `upright` is false:
// sources of arrangements written before the turn existed), so everything after sees the
// picture as it is meant to be shown. A profile that cannot be used is noted through
// `platform` (the status bar, or stderr on the command line), naming the file, and the picture
// loads without it. False only when memory runs out for the turn.
bool showPictureAsMeant(CxImage& decoded, const std::string& path, Platform& platform, bool upright = true);

} // namespace tessary
