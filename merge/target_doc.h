#pragma once
#include "app/places.h"
#include "image/colour.h"
#include "image/masked_dib.h"

#include <cstdint>
#include <memory>
#include <string>

namespace tessary {

// The target document: the generated target image, the target settings and the transformed
// copy of every source with its mirror flag.
class CDestdoc {
public:
    std::unique_ptr<PackedDib> targetImage;
    int32_t viewWidth = 1;
    int32_t viewHeight = 1;
    ColourRef backgroundColour = 0;
    ColourRef marginColour = 0;
    int32_t marginX = 0;
    int32_t marginY = 0;
    int32_t targetContrast = 16;
    int32_t targetBrightness = 128;
    int32_t thresholdFuzziness = 4;
    int32_t viewPercentX = 100;
    int32_t viewPercentY = 100;
    PerPlace<int32_t> mirrored {};
    PerPlace<MaskedDib> transformed {};
    int32_t generated = 0;
    // How many targets have been generated in this run: an undo finds out whether the target
    // shown was made after the step it takes back.
    uint64_t generations = 0;
    int32_t zoneSelected = 0;
    int32_t progress = 0;
    int32_t bitsPerPixel = 24;
    // Saving as tiles: the grid the Save Tiles dialog chose (1..10 each way), and 1 while the
    // Save As it starts is under way.
    int32_t tilesAcross = 1;
    int32_t tilesDown = 1;
    int32_t savingTiles = 0;
    // The window title: "Target Window", or "Target Window - needs updating" when stale.
    std::string title = "Target Window";

    // Takes the merge's output settings (fuzziness, background, margins and their colour,
    // contrast, brightness) from `other`.
    void copyTargetSettings(const CDestdoc& other);
    // Close source `closedIndex` leaving `newCount`: mirror flags and transformed images move
    // down; the freed last place is unmirrored and empty.
    void compactPlaces(int closedIndex, int newCount);
    // Discard the target image; the displayed size becomes 1 x 1.
    void discardTarget();
};

} // namespace tessary
