#pragma once
#include "image/masked_dib.h"

#include <cstdint>

namespace tessary {

class Platform;
class VIrorozIzi;

inline constexpr const char* kCropAreaTooSmall = "Area too small - please select a box greater than 64 X 64";
inline constexpr const char* kCropOutOfMemory = "Not enough memory to process the source image.";

// A box selected in a source window, in image display coordinates: x to the right, y downward
// from the top line of the picture (display line y is stored row height - 1 - y). Both edges
// belong to the box.
struct SourceBox {
    int32_t left = 0;
    int32_t right = 0;
    int32_t top = 0;
    int32_t bottom = 0;
    friend bool operator==(const SourceBox&, const SourceBox&) = default;
};

// A box with left <= right and top <= bottom.
SourceBox normalisedBox(const SourceBox& box);

enum class AreaOperation { MakeTransparent, MakeOpaque, SmoothBlend, SmoothUnblend };

// At most 16 area operations are carried out between reloads. `areaOperationCount` starts at
// -1; each call counts one more operation and returns true while it may be carried out. The
// seventeenth is refused: the count stays at 15 and the result is false.
bool countAreaOperation(int32_t& areaOperationCount);

// Changes the mask entries of the pixels inside `box` (edges included): make transparent sets
// them to 0, make opaque to 65535. Smooth blend and unblend work on the ellipse inscribed in the
// box: with W and H the box's width and height (right - left, bottom - top), its integer centre
// and ratio = H / W, a pixel at distance d = sqrt((y - cy)^2 + ((x - cx) * ratio)^2) from the
// centre has u = H - 2d; pixels with u < 0 are outside and keep their entry; inside, blend
// gives v = (u / H) * 65535 and unblend v = (1 - u / H) * 65535, truncated, and a v of 0 leaves
// the entry as it was. A box without width or height changes nothing in the ellipse.
// False, with the mask as it was, when memory for the mask's values runs out.
bool applyAreaOperation(MaskedDib& image, const SourceBox& box, AreaOperation operation);

// Every mask entry becomes `value` (0: all transparent, 65535: all opaque). False, with the mask
// as it was, when memory runs out.
bool setWholeMask(MaskedDib& image, uint16_t value);

enum class CropResult { Done, TooSmall, OutOfMemory };

// A new 24-bit image of W x H = (right - left) x (bottom - top) holding display lines top ...
// bottom - 1 and columns left ... right - 1 of `source`, pixels and mask. TooSmall when W or H
// is below 64, or when the box does not lie inside the image; OutOfMemory when the new image
// cannot be made. `out` is only written on Done.
CropResult cropImage(MaskedDib& source, const SourceBox& box, MaskedDib& out);

// The source-window commands on a document: they change its image or mask and set its
// `changed` flag (telling the window to update is the caller's part).

// Crop to the box; refusals are reported through `platform` ("Area too small - please select a
// box greater than 64 X 64" or "Not enough memory to process the source image.") and leave the
// document as it was. True when the image was replaced; the image it had is moved to `replaced`.
bool cropSource(VIrorozIzi& doc, const SourceBox& box, Platform& platform, MaskedDib& replaced);

// One of the four counted area operations on the document's mask. False, with nothing changed,
// for the seventeenth operation since the last reload, and when memory runs out (then it is
// said, and the operation is not counted).
bool areaOperationOnSource(VIrorozIzi& doc, const SourceBox& box, AreaOperation operation,
    int32_t& areaOperationCount, Platform& platform);

// Make all transparent / make all opaque (not counted as area operations). False, with nothing
// changed, when memory runs out; then it is said.
bool wholeMaskOnSource(VIrorozIzi& doc, uint16_t value, Platform& platform);

// Whether two images of the same size have the same mask values (an area tool that changed
// nothing is not worth an undo step).
bool sameMaskValues(const MaskedDib& a, const MaskedDib& b);

} // namespace tessary
