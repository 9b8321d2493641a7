#pragma once
#include <string>

namespace tessary::settings {

// Section and value names of the per-user settings.
inline const std::string kSection = "Configure";
inline const std::string kLastOpenDirectory = "Last Open Directory";
inline const std::string kLastOpenExtension = "Last Open Extension";
inline const std::string kLastSaveDirectory = "Last Save Directory";
inline const std::string kLastSaveExtension = "Last Save Extension";
inline const std::string kNudgeFactorX = "Nudge Factor X";
inline const std::string kNudgeFactorY = "Nudge Factor Y";
inline const std::string kSnapMove = "Snap move";
inline const std::string kFlyingTips = "flying tips";
// Megabytes of images the undo history keeps at most (History::kBudgetMegabytes gives its range).
inline const std::string kUndoMemory = "Undo Memory MB";
// 1: the alpha stored in picture files becomes the source's transparency; 0: files load opaque.
inline const std::string kFileTransparency = "Use File Transparency";
// Whether Save As keeps a source's metadata (kKeepMetadataRange, output/image_metadata.h), and
// whether Batch Merging keeps each picture's own.
inline const std::string kKeepMetadata = "Keep Metadata";
inline const std::string kBatchKeepMetadata = "Batch Keep Metadata";
inline const std::string kRecentFileSection = "Recent File List";

} // namespace tessary::settings
