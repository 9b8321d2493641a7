#pragma once
#include "app/places.h"
#include "app/setting_range.h"
#include "image/colour.h"
#include "image/masked_dib.h"

#include <cstdint>
#include <memory>
#include <string>

namespace tessary {

// The target settings the Target menu's dialogs offer: "Threshold fuzziness" of Merge Sources,
// "Set Margin" (each way), and "Contrast and Brightness" (contrast in sixteenths, 16 neutral).
inline constexpr SettingRange kThresholdFuzziness { 1, 100, 4 };
inline constexpr SettingRange kMargin { 0, 500, 0 };
inline constexpr SettingRange kTargetContrast { 0, 32, 16 };
inline constexpr SettingRange kTargetBrightness { 0, 255, 128 };

// The target document: the generated target image, the target settings and the transformed
// copy of every source with its mirror flag.
class CDestdoc {
public:
    std::unique_ptr<PackedDib> targetImage;
    int32_t viewWidth = 1;
    int32_t viewHeight = 1;
    ColourRef backgroundColour = 0;
    ColourRef marginColour = 0;
    int32_t marginX = kMargin.start;
    int32_t marginY = kMargin.start;
    int32_t targetContrast = kTargetContrast.start;
    int32_t targetBrightness = kTargetBrightness.start;
    int32_t thresholdFuzziness = kThresholdFuzziness.start;
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
