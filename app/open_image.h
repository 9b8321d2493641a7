#pragma once
#include "app/platform.h"
#include "app/source_opening.h"

#include <string>

namespace tessary {

class MergeWorkspace;
class Platform;
class RecentFileList;

// The file kinds offered by Open Image, in the chooser's "label|pattern|...||" form; the JPEG
// and TIFF kinds show the longer endings too. The eighth, every picture the program reads, came
// last so that the stored choices 1 to 7 keep their meaning; it is the one offered first.
inline const std::string kOpenImageFilter
    = "Bitmap Files (*.bmp)|*.bmp|Jpeg Files (*.jpg *.jpeg *.jpe *.jfif)|*.jpg;*.jpeg;*.jpe;*.jfif|"
      "Png Files (*.png)|*.png|Tif Files (*.tif *.tiff)|*.tif;*.tiff|"
      "Tga Files (*.tga)|*.tga|Pcx Files (*.pcx)|*.pcx|All Files (*.*)|*.*|"
      "Image Files (*.bmp *.jpg *.jpeg *.jpe *.jfif *.png *.tif *.tiff *.tga *.pcx)|"
      "*.bmp;*.jpg;*.jpeg;*.jpe;*.jfif;*.png;*.tif;*.tiff;*.tga;*.pcx||";
inline constexpr int kImageFilesFilter = 8;

// The chooser's request for a picture to open: `title`, the filters above, the folder and the
// filter the user chose last (Image Files when none was stored).
FileDialogRequest openImageRequest(Platform& platform, const std::string& title);
inline const std::string kNoMoreThan8Images = "No more than 8 images allowed.";

enum class OpenResult {
    Refused, // eight sources are loaded
    Cancelled, // the user closed the chooser without a file
    Activated, // the file was already open: its window came to the front
    NotCreated, // the source document could not be made (it reported why)
    Created, // a new source was added
};

// The title of the Open Image chooser: "Open Source Window N" for the next source, or the
// batch merge's "Select watermarking image file" while it is choosing its watermark.
std::string openImageTitle(const MergeWorkspace& workspace);

// Open Image: refuses a ninth source, asks for a file in the remembered folder with the
// remembered filter, remembers the filter index and the folder the user chose, then opens the
// file as a new source. A created source enters the recent-file list.
OpenResult openImage(
    MergeWorkspace& workspace, Platform& platform, RecentFileList& recentFiles, const SourceOpening& opening);

} // namespace tessary
