#pragma once
#include "image/cx_image.h"
#include "image/masked_dib.h"

#include <string>

namespace tessary {

class Platform;
class VIrorozIzi;

inline constexpr const char* kUnableToLoadImageFile = "Unable to load this image file";
inline constexpr const char* kCannotHandleImageType = "Cannot handle this type of image.";

// Loads the image file at `path` into the source document: the path is kept in `filePath`, the
// decoder tried first is chosen from the path's ending (formatFromFileName; a name with another
// ending is read by its content), the file is decoded, converted to sRGB by its colour profile
// and turned upright by its orientation (see showPictureAsMeant, as the document's `loadOptions`
// say), and the decoded bitmap is copied into `image` (keeping its depth and colour table) with
// a mask from its stored alpha or a fully opaque one (see adoptDecodedImage).
// On success `sourceKind` becomes kSourceImageFile, `imageWidth` and `imageHeight` are set and
// the result is true. On failure the reason is shown through `platform` (the decoder's text,
// "Cannot handle this type of image." or "Tessary has run out of memory."), followed by
// "Unable to load this image file", and the result is false. Opening the file for reading
// beforehand, with its own report, is the caller's part.
bool loadImageFile(VIrorozIzi& doc, const std::string& path, Platform& platform);

// The report for a file whose name is none of the formats' and that no decoder reads: what its
// first bytes look like ("photo.gif is not a BMP, JPEG, PNG, TIFF, TGA or PCX picture: it looks
// like a GIF picture."); empty when the file cannot be read at all.
std::string unreadableContentText(const std::string& path);

// The report when a file cannot be opened for reading at all.
std::string cannotOpenFileText(const std::string& path);
// Whether the file at `path` opens for reading; when not, says so (error icon).
bool fileOpensForReading(const std::string& path, Platform& platform);

// The part after decoding: refuses 16-bit and compressed bitmaps, copies the decoded bitmap into
// the document and releases the decoder's copy. With the document's `loadOptions` asking for it,
// the alpha the file stores becomes the mask (alpha a gives a x 257); otherwise, and for a file
// without alpha, the mask is fully opaque. Shows the same messages as loadImageFile.
bool adoptDecodedImage(VIrorozIzi& doc, CxImage& decoded, Platform& platform);

// Writes a width x height alpha plane (stored-row order) into the image's mask; false when
// memory runs out.
bool maskFromAlpha(MaskedDib& image, const uint8_t* alpha);

} // namespace tessary
