#pragma once
#include "image/masked_dib.h"

#include <cstdint>
#include <memory>

namespace tessary {

class MergeWorkspace;
class Platform;
class VIrorozIzi;

inline constexpr const char* kPastedImageTitle = "Pasted Image";
inline constexpr const char* kTargetToSourceTitle = "Target to Source";

// The image a new pasted or target-copy source is to take: a 24-bit, fully opaque copy of
// `image` in the workspace's `handoffImage`. `image` itself is only read. On failure
// "Not enough memory ???" and "Tessary has run out of memory." are shown and false returned.
bool prepareHandoff(MergeWorkspace& workspace, const PackedDib& image, Platform& platform);

// A new source of kind `kind` (pasted or copy of the target) takes over the workspace's
// `handoffImage`, which is left empty: its size, title and kind follow. False, changing
// nothing, when there is no image to take.
bool adoptHandoff(MergeWorkspace& workspace, VIrorozIzi& doc, int32_t kind);

// A 24-bit, fully opaque copy of `image` into `target`, replacing it only once the copy exists.
// When memory runs out: "Not enough memory ???", "Tessary has run out of memory.", `target`
// unchanged and false.
bool copyOpaque24(const PackedDib& image, MaskedDib& target, Platform& platform);

} // namespace tessary
