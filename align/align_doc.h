#pragma once
#include "align/placement.h"
#include "app/places.h"
#include "image/masked_dib.h"
#include "image/packed_dib.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

namespace tessary {

struct ViewPoint {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const ViewPoint&, const ViewPoint&) = default;
};

// The outline of a placed source in the Align view: P0, P1, P2, P3 = top-left, top-right,
// bottom-left, bottom-right of the unrotated rectangle, each turned about the centre; view
// coordinates, y grows downward.
using Outline = std::array<ViewPoint, 4>;

// Why the Align view has no preview to show (`previewStatus`); the first four are the failure
// codes of the source transformation.
enum PreviewStatus : int32_t {
    kPreviewOk = 0,
    kPreviewOutOfMemory = 1,
    kPreviewUnsupported = 2,
    kPreviewRle = 3,
    kPreviewAborted = 4,
};

// The Align document: the placement of every source with its layer levels, and the align
// preview built from them.
class CAlignDoc {
public:
    static constexpr double kUnitScale = Placement::kUnitScale;

    PerPlace<Placement> placement {};
    // Derived from the placements by every preview rebuild.
    PerPlace<std::optional<Outline>> outline {};

    // Extent of the placed sources in target pixels (the predicted target size).
    int32_t layoutWidth = 0;
    int32_t layoutHeight = 0;

    // ---- the align preview (rebuildPreview)
    // 24 bits per pixel, previewWidth x previewHeight; empty while there is none.
    MaskedDib preview;
    int32_t previewWidth = 1;
    int32_t previewHeight = 1;
    // Layout pixels per preview pixel.
    float viewScale = 1.0f;
    // Where the preview's top-left corner is drawn in the view.
    int32_t previewLeft = 0;
    int32_t previewTop = 0;
    // Client size of the Align view; the view stores it when first shown and on every resize.
    int32_t alignViewWidth = 0;
    int32_t alignViewHeight = 0;
    // 1 after a successful rebuild, 0 at construction and after a failed one.
    int32_t previewValid = 0;
    // Why there is no preview (PreviewStatus, or any other value); 0 when there is one.
    int32_t previewStatus = kPreviewOk;
    // 1 while a quick-align or nudge tip is shown: the preview is built at half contrast over
    // mid-grey so that guide lines stand out.
    uint8_t previewPale = 0;
    // 1 when no preview pixel is covered by two or more sources.
    uint8_t noOverlap = 0;

    // ---- startup tips
    // The current tip banner (header, colour table if any, pixels), or none.
    std::unique_ptr<PackedDib> tipBanner;

    CAlignDoc() { resetAllPlaces(); }

    // Construction values for every place: (0, 0), 100 %, unrotated, middle layer.
    void resetAllPlaces();
    // Close source `closedIndex` (0-based) leaving `newCount` sources: later placements move
    // down and the freed last place takes the construction values.
    void compactPlacements(int closedIndex, int newCount);
};

} // namespace tessary
