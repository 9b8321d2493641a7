#pragma once
#include "image/colour.h"

#include <cstdint>

namespace tessary {

class MergeWorkspace;
class Platform;

// The Target menu's commands on the model. Dialogs are the windows' part: the window asks the
// user and passes the answer here. Each command that changes a target setting generates the
// target again when at least two sources are loaded (the generation reports its own failures).

inline constexpr const char* kNoOverlapMessage = "No section of any image is overlaying another.\nTessary "
                                                 "will generate the target with these images now.";
inline constexpr const char* kMergeDefaultsQuestion
    = "This command sets defaults for contrast, brightness and merge-type.\nAll sources will be set to the "
      "middle blending layer and the snap-grid will be set to 1.\n\nDo you wish to do this ?";

// "Generate the Target" (the Load Target button) and every command below that generates: the
// target is made only from two sources or more, after the sources edited in their windows
// are transformed again. True when a target was generated.
bool generateTargetCommand(MergeWorkspace& workspace, Platform& platform);

// "Merge Sources", "Fine Alignment", "Contrast Brightness", "Send to new Source": two sources or
// more and a valid Align preview.
bool targetCommandsEnabled(const MergeWorkspace& workspace);
// "Set merge defaults": two sources or more.
bool mergeDefaultsEnabled(const MergeWorkspace& workspace);
// "Save As...", "Save Tiles As...", printing: a generated target.
bool targetSaveEnabled(const MergeWorkspace& workspace);

// "Merge Sources" when no two sources overlap in the Align preview: the information message,
// then the target is generated. False, doing nothing, when sources overlap: the Merge Sources
// dialog is needed then.
bool mergeSourcesWithoutOverlap(MergeWorkspace& workspace, Platform& platform);

// "Set merge defaults": asks first; on Yes the contrast, brightness, merge type, threshold
// fuzziness, layers, bias weights (100 / sourceCount in whole numbers), fade edges and snap
// grid go back to their defaults, the zone is dropped and the target is generated. True when
// the user said Yes.
bool setMergeDefaults(MergeWorkspace& workspace, Platform& platform);

// "Background Color..." and "Set Margin Color...": the colour chooser opens at black; a chosen
// colour is stored. True when a colour was chosen.
bool chooseBackgroundColour(MergeWorkspace& workspace, Platform& platform);
bool chooseMarginColour(MergeWorkspace& workspace, Platform& platform);

// OK of "Target View Size" with the percentage chosen (100, 50, 25 or 10).
void applyViewingSize(MergeWorkspace& workspace, Platform& platform, int32_t percent);
// OK of "Set Margin" with both margins (each already checked to lie in kMargin).
void applyMargins(MergeWorkspace& workspace, Platform& platform, int32_t marginX, int32_t marginY);

// The snap grid of the zone: 1, 5, 10 or 16.
void setSnapGrid(MergeWorkspace& workspace, int32_t grid);

// The viewing sizes the "Target View Size" dialog offers, in its order.
inline constexpr int32_t kViewingSizes[] = { 100, 50, 25, 10 };
} // namespace tessary
