#pragma once
#include "image/packed_dib.h"

#include <cstdint>

namespace tessary {

class MergeWorkspace;
class Platform;
struct SourceOpening;

inline constexpr const char* kDestroyAllSourcesQuestion
    = "No more than 8 source images allowed.\n\nDo you wish to destroy all the source images and then copy "
      "the "
      "target image to a new source ?";

// Asked before a pasted or target-copy source is made while eight sources are loaded: true when
// there is room or the user agrees to close them all.
bool roomForNewSource(MergeWorkspace& workspace, Platform& platform);

// Makes a new source of kind `kind` (pasted or copy of the target) from `image`: a 24-bit,
// fully opaque copy is handed over first; only once it exists are all sources closed when eight
// are loaded, then the new source is made. The hand-over image never outlives
// the call. True when the source was made.
bool makeImageSource(MergeWorkspace& workspace, Platform& platform, const SourceOpening& opening,
    const PackedDib& image, int32_t kind);

} // namespace tessary
