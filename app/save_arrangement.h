#pragma once
#include <string>

namespace tessary {

class MergeWorkspace;
class Platform;

// The arrangement file kinds offered by Save Arrangement, in the chooser's form.
inline const std::string kArrangementFilter
    = "Tessary Arrangements (*.tessary.json)|*.tessary.json|All Files (*.*)|*.*||";
inline const std::string kArrangementEnding = ".tessary.json";

// File > Save Arrangement...: asks for a file name (starting in the folder last used for an
// arrangement, which is remembered) and writes the loaded sources and the merge settings there.
// What cannot be saved is said in a message and nothing is written. True when a file was written.
bool saveArrangementCommand(const MergeWorkspace& workspace, Platform& platform);

} // namespace tessary
