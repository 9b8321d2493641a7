#pragma once
#include <string>

namespace tessary {

class MergeWorkspace;
class Platform;
struct SourceOpening;

inline constexpr const char* kCloseSourcesForArrangement
    = "Opening an arrangement closes the sources that are open now.\nDo you want to go on?";
inline constexpr const char* kSourcesLeftOut
    = "These sources of the arrangement could not be loaded and were left out:";

// File > Open Arrangement...: asks for an arrangement file (starting in the folder last used
// for an arrangement) and opens it with openArrangement. True when it was opened.
bool openArrangementCommand(MergeWorkspace& workspace, Platform& platform, const SourceOpening& opening);

// Opens the arrangement at `path`. A file that is not a valid arrangement is refused with a
// message naming the field, and nothing changes. Otherwise, after asking when sources are open
// (No changes nothing), the open sources are closed and every source of the arrangement is
// loaded into the next place with its placement, layers, weight and fade edge, the merge and
// target settings are taken over, the sources whose scale, rotation or mirroring need it are
// transformed again, the preview is rebuilt and the target marked stale. Sources that could not
// be loaded are named in one message; the others stay. True when the arrangement was opened.
bool openArrangement(
    MergeWorkspace& workspace, Platform& platform, const SourceOpening& opening, const std::string& path);

} // namespace tessary
