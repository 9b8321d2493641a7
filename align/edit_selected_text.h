#pragma once
#include "merge/pixel_path.h"
#include "sources/edit_text.h"

namespace tessary {

class MergeWorkspace;
class Platform;

inline constexpr const char* kConvertToTextQuestion
    = "The selected source is not a text window.\nDo you wish to remove it and convert to text?";

// Edit text: the text entry on the Align view's selected source, which becomes a text source
// (a source of another kind only when the user agrees). When its image changed (new text, or
// an image put back after Try Text) the source is transformed, the preview rebuilt and the
// target marked stale.
void editSelectedText(MergeWorkspace& workspace, Platform& platform, const TextEntryDialog& dialog,
    PixelPath path = PixelPath::RowsTwoThreads);

} // namespace tessary
