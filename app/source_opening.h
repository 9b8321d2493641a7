#pragma once
#include "sources/stored_text.h"

#include <functional>
#include <string>

namespace tessary {

// How the file commands reach the source documents. The commands decide whether a file may be
// opened and remember what the user chose; making the source itself (decoding the file, taking
// the next place, creating its window) belongs to the source-document layer, which the program
// passes in as these two functions.
struct SourceOpening {
    // Creates a new source document from the image file at `path` (the workspace's
    // `pendingSourceKind` is 2 when it is called) and reports load errors itself. True when the
    // source was created.
    std::function<bool(const std::string& path)> openSourceFile;
    // Brings the window of source `number` (1..8) to the front.
    std::function<void(int number)> activateSource;
    // Creates a new source document of the workspace's `pendingSourceKind` (a text entry, or the
    // image handed over in `handoffImage`) with its window; a source whose making failed or was
    // cancelled leaves no trace. True when the source was made.
    std::function<bool()> createNewSource;
    // Closes every source window, one after the other.
    std::function<void()> closeAllSources;
    // Creates a text source from stored fields without the text entry, with its window; a text
    // that cannot be rendered (the renderer said why) leaves no trace. True when it was made.
    std::function<bool(const StoredText& text)> createTextSource;
};

} // namespace tessary
