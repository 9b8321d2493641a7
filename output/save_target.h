#pragma once
#include "output/image_metadata.h"

#include <cstdint>
#include <string>

namespace tessary {

class MergeWorkspace;
class Platform;

// Saving the target: the whole target, the selected zone, or the whole target as a grid of
// tiles, through the file-save chooser and the image-file writers.

inline constexpr const char* kSaveFilter
    = "Bitmap Files (*.bmp)|*.bmp|Jpeg Files (*.jpg)|*.jpg|Png Files "
      "(*.png)|*.png|Tif Files (*.tif)|*.tif|Tga Files (*.tga)|*.tga|Pcx "
      "Files (*.pcx)|*.pcx||";
inline constexpr const char* kSaveTilesTitle = "Save Tiles Target Images";
inline constexpr const char* kSaveTargetTitle = "Save Target Image";
inline constexpr const char* kSaveZoneTitle = "Save Target Image - Zone area only ";
inline constexpr const char* kKeepMetadataLabel = "Keep metadata from:";

// The chooser's title: the tiles title while saving tiles, the zone title with the zone's size
// in target pixels ("... only 300 X 200") while a zone is selected, otherwise the plain one.
std::string saveDialogTitle(const MergeWorkspace& workspace);

// The extension of each filter, index 1 to 6; anything else counts as 1 (bmp).
std::string filterExtension(int filterIndex);

// What the chosen name becomes. Its extension, lower-cased, names the format when it is one of
// bmp, jpg, png, tif, tga, pcx or another ending of one of them (jpeg, jpe, jfif, tiff);
// otherwise the filter's extension is appended ("photo" with the Png filter -> "photo.png",
// "photo.gif" with the Bitmap filter -> "photo.gif.bmp"). A name typed with an upper-case
// extension keeps it ("photo.JPG", written as JPEG; "photo.jpeg" stays so, written as JPEG).
struct SaveName {
    std::string folder; // the chosen path up to and including its last '/'
    std::string fileName; // the file name, possibly extended
    std::string extension; // lower case, one the formats know
    std::string path() const { return folder + fileName; }
};
SaveName resolveSaveName(const std::string& chosenPath, int filterIndex);

// "Save As...": asks for a file (remembering the folder and the filter in the settings "Last Save
// Directory" and "Last Save Extension") and writes the zone or the whole target, or, while
// `savingTiles` is 1, every tile. The chooser has asked before replacing the name it was given;
// when the file written has another name ("photo" saved as "photo.png") and exists, the user is
// asked "photo.png already exists. Do you want to replace it?" first; for tiles one question
// before the first tile covers every tile file that exists. False when the user cancelled or
// answered No (then nothing is written).
//
// With image-file sources loaded, the chooser also asks "Keep metadata from:" (see
// metadataSources): the file, zone or every tile gets that source file's EXIF, IPTC and XMP,
// made true of the picture written. Whether a source was chosen is remembered ("Keep
// Metadata"): next time the rule preselects one again, or "none".
bool saveTargetAs(MergeWorkspace& workspace, Platform& platform);

// "Save Tiles As..." after the "Save Tiles" dialog's OK with the grid chosen (1..10 each way):
// Save As in its tiles form. Afterwards no zone is selected when the tiles were written.
bool saveTilesAs(MergeWorkspace& workspace, Platform& platform, int32_t across, int32_t down);

// "Save zone to file.": Save As for the selected zone; afterwards, also after a cancel, the zone
// is gone (corners at (0, 0), not selected).
bool saveZoneToFile(MergeWorkspace& workspace, Platform& platform);

// Writes the zone or the whole target to `path` (format from its ending), with `metadata` where
// the format holds it. Shows "Failed the file save!" when the file could not be written; the
// memory message comes from the extraction. A written file is named in the status bar's message
// area with its size ("Saved photo.png (4000 × 3000)"); saved tiles are named there together.
bool writeTargetFile(const MergeWorkspace& workspace, Platform& platform, const std::string& path,
    const ImageMetadata& metadata = {});

} // namespace tessary
