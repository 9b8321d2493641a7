#pragma once
#include "merge/pixel_path.h"

#include <functional>
#include <string>

namespace tessary {

class MergeWorkspace;
class Platform;
class VIrorozIzi;

// The "Text Entry" dialog as the core runs it: modal, on `doc`, whose text, font, colour and
// transparency fields it edits (the text stored with CR LF line ends). `mode` 0 makes a new
// text source, 1 edits one again and offers "Try Text", whose work is `tryText`. True for Ok.
using TextEntryDialog = std::function<bool(VIrorozIzi& doc, int mode, const std::function<void()>& tryText)>;

enum class TextEntryResult {
    Rendered, // Ok: the new text image is the source's image
    Unchanged, // cancelled, or the text could not be rendered: the image is the one from before
    Restored, // as Unchanged, but "Try Text" had replaced the image, which is now back
};

// Runs the text entry on `doc`. Ok renders the text; a rendered image replaces the source's
// image (in mode 1 that is one undo step named `stepName`, which marks the source edited), a
// failed rendering keeps the image. Try
// Text (mode 1) renders at once and, when that worked, the source is edited, transformed, the
// preview rebuilt and the target marked stale. Cancel gives back the text stored at opening
// or by the last Try Text, and the image, size, title and kind from before any Try Text. Font
// and colours keep what the dialog chose.
TextEntryResult editText(MergeWorkspace& workspace, Platform& platform, VIrorozIzi& doc, int mode,
    const TextEntryDialog& dialog, PixelPath path = PixelPath::RowsTwoThreads,
    const std::string& stepName = "Edit Text");

} // namespace tessary
