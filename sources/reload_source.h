#pragma once
#include "merge/pixel_path.h"
#include "sources/edit_text.h"

namespace tessary {

class MergeWorkspace;
class Platform;
class VIrorozIzi;

inline constexpr const char* kReinstateClipboardText
    = "Tessary will now reinstate the current contents of the clipboard.";
inline constexpr const char* kRevertTextText
    = "It isn't possible to revert to any previous text.\n"
      "Tessary will now allow editing of the current text in this source window.";
inline constexpr const char* kTargetNotPresentQuestionText = "Target image not present?";
inline constexpr const char* kCopyTargetAgainQuestion
    = "This image was generated from copying back the contents of the target image.\n"
      "The source image will now be a direct copy of the last updated Target image as it stands now "
      "regardless "
      "of any changes in the past.\n\nDo you wish to copy the target image to this source ?";

// Reload Source: rebuilds source `doc`'s image the way the source was made. A pasted source
// takes the clipboard's image again (nothing happens when the clipboard holds none it can
// read); a text source opens the text entry on its current text, then is transformed, the
// preview rebuilt and the target marked stale; a copy of the target copies the target again
// when the user agrees; an image file is loaded again. An image is only replaced once its
// successor exists. True when the image changed (the source is then marked edited).
bool reloadSource(MergeWorkspace& workspace, Platform& platform, VIrorozIzi& doc,
    const TextEntryDialog& dialog, PixelPath path = PixelPath::RowsTwoThreads);

} // namespace tessary
