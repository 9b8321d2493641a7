#pragma once
#include "image/cx_image.h"

#include <string>

namespace tessary {

class Platform;
class VIrorozIzi;

inline constexpr const char* kUnableToLoadImageFile = "Unable to load this image file";
inline constexpr const char* kCannotHandleImageType = "Cannot handle this type of image.";

// Loads the image file at `path` into the source document: the path is kept in `filePath`, the
// format is chosen from the path's last three characters, the file is decoded, converted to sRGB
// by its colour profile and turned upright by its orientation (see showPictureAsMeant), and the
// decoded bitmap is copied into `image` (keeping its depth and colour table) with a fully opaque
// mask.
// On success `sourceKind` becomes kSourceImageFile, `imageWidth` and `imageHeight` are set and
// the result is true. On failure the reason is shown through `platform` (the decoder's text,
// "Cannot handle this type of image." or "Tessary has run out of memory."), followed by
// "Unable to load this image file", and the result is false. Opening the file for reading
// beforehand, with its own report, is the caller's part.
bool loadImageFile(VIrorozIzi& doc, const std::string& path, Platform& platform);

// The report when a file cannot be opened for reading at all.
std::string cannotOpenFileText(const std::string& path);
// Whether the file at `path` opens for reading; when not, says so (error icon).
bool fileOpensForReading(const std::string& path, Platform& platform);

// The part after decoding: refuses 16-bit and compressed bitmaps, copies the decoded bitmap into
// the document and releases the decoder's copy. Shows the same messages as loadImageFile.
bool adoptDecodedImage(VIrorozIzi& doc, CxImage& decoded, Platform& platform);

} // namespace tessary
