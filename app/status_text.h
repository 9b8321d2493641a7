#pragma once
#include "align/align_doc.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tessary {

class MergeWorkspace;

// The values the workspace status text (status pane 1) is made from.
struct StatusTextInputs {
    int32_t sourceCount = 0;
    int32_t activeSourceNumber = -1;
    int32_t alignViewActive = 0;
    int32_t layoutWidth = 0;
    int32_t layoutHeight = 0;
    int32_t generated = 0;
    int32_t zoneSelected = 0;
    ViewPoint zoneAnchor {};
    ViewPoint zoneCorner {};
    int32_t viewPercentX = 100;
    int32_t viewPercentY = 100;
    bool hasTargetImage = false;
    int32_t targetWidth = 0;
    int32_t targetHeight = 0;
};

StatusTextInputs statusTextInputs(const MergeWorkspace& workspace);

// The text of status pane 1 for the current state, or nothing when the pane keeps the text it
// shows (a zone whose corners coincide, or a generated target without an image).
std::optional<std::string> workspaceStatusText(const StatusTextInputs& in);

} // namespace tessary
