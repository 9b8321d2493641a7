#pragma once
#include "app/open_image.h"

namespace tessary {

class MergeWorkspace;
class Platform;

inline constexpr const char* kNoMoreThan8SourceImages = "No more than 8 source images allowed.";

// New Text: refuses a ninth source, then makes a new text source, whose document runs the text
// entry. Cancelled when the user cancelled the entry (or its text could not be rendered).
OpenResult newText(MergeWorkspace& workspace, Platform& platform, const SourceOpening& opening);

} // namespace tessary
