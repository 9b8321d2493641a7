#pragma once

namespace tessary {

class MergeWorkspace;
class Platform;
struct SourceOpening;

// Paste: a new source from the clipboard's image, 24-bit and fully opaque. With eight sources
// loaded the user is asked first whether to close them all. Nothing happens when the clipboard
// holds no image the program can read. True when the source was made.
bool pasteSource(MergeWorkspace& workspace, Platform& platform, const SourceOpening& opening);

} // namespace tessary
