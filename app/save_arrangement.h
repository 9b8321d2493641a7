#pragma once
#include <string>

namespace tessary {

class MergeWorkspace;
class Platform;

// The arrangement file kinds offered by Save Arrangement, in the chooser's form.
inline const std::string kArrangementFilter
    = "Tessary Arrangements (*.tessary.json)|*.tessary.json|All Files (*.*)|*.*||";
inline const std::string kArrangementEnding = ".tessary.json";

struct FileDialogRequest;

inline constexpr const char* kEditsNotKept
    = "The arrangement was saved. It keeps these sources as they were loaded, without the changes "
      "made to them in their windows:";

// The chooser request of Save and Open Arrangement: the arrangement filter, starting in the
// folder last used for an arrangement.
FileDialogRequest arrangementChooserRequest(Platform& platform, const std::string& title);
// Remembers the folder of the arrangement at `path` for the next chooser.
void rememberArrangementFolder(Platform& platform, const std::string& path);

// File > Save Arrangement...: asks for a file name (starting in the folder last used for an
// arrangement, which is remembered) and writes the loaded sources and the merge settings there.
// Pasted and target-copy sources are written beside it as PNG files first, never over a file
// that is itself a source of the arrangement (another free name is chosen), and over any other
// file only after one question naming them all. A failure is said in
// a message and the arrangement is not written. File and text sources changed in their windows
// are named afterwards: the arrangement does not keep those changes. True when it was written.
bool saveArrangementCommand(const MergeWorkspace& workspace, Platform& platform);

} // namespace tessary
