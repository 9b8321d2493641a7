#pragma once

namespace tessary {

class MergeWorkspace;
class Platform;
struct SourceOpening;

inline constexpr const char* kTargetNotPresentText = "Target image not present.";
inline constexpr const char* kTargetNotUpdatedText
    = "Target not updated. Please press the 'Load Target' button";

// Send to new Source: a copy of the current target becomes a new source (24-bit, fully opaque).
// With eight sources loaded the user is asked first whether to close them all; a missing or
// outdated target is refused. The target image itself is only read. True when the source was
// made.
bool sendToNewSource(MergeWorkspace& workspace, Platform& platform, const SourceOpening& opening);

} // namespace tessary
