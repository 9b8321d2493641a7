#pragma once

namespace tessary {

class CxImage;

// Turns a decoded picture upright by the EXIF/TIFF orientation it carries, pixels and alpha
// alike, at its own depth (1-, 4- and 8-bit pictures keep their colour table), and sets the
// orientation to 1. Orientations 5 to 8 swap width and height (and the two resolutions).
// 2 mirrors left-right, 3 turns 180 degrees, 4 flips top-bottom, 5 transposes, 6 turns 90
// degrees clockwise, 7 transverses, 8 turns 90 degrees anticlockwise. False when memory runs
// out; the image is unchanged then.
bool turnUpright(CxImage& image);

// Width and height of the upright picture for a stored size.
struct UprightSize {
    int width;
    int height;
};
UprightSize uprightSize(int storedWidth, int storedHeight, int orientation);

} // namespace tessary
