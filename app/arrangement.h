#pragma once
#include "image/colour.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessary {

// One source of a merge layout, with the program's construction values where the layout
// leaves a field out.
struct LayoutSource {
    std::string file; // resolved against the layout file's folder
    int32_t posX = 0;
    int32_t posY = 0;
    double scaleX = 1024.0;
    double scaleY = 1024.0;
    double rotation = 0.0;
    bool mirrored = false;
    int32_t topLevel = -1;
    int32_t bottomLevel = -1;
    std::optional<double> biasWeight; // none: 100 / number of sources
    bool fadeEdge = false;
};

struct MergeLayout {
    std::vector<LayoutSource> sources;
    int32_t mergeType = 0;
    int32_t thresholdFuzziness = 4;
    ColourRef backgroundColour = 0;
    int32_t marginX = 0;
    int32_t marginY = 0;
    ColourRef marginColour = 0;
    int32_t targetContrast = 16;
    int32_t targetBrightness = 128;
};

// Reads and checks the layout file at `path`: a JSON object whose names are the program's own
// (see the README). Every field but a source's `file` is optional. Refuses unknown fields, wrong
// types, values outside the ranges the program's dialogs allow, more than 8 sources, and
// source files that do not exist or whose names do not end in one of the six formats; then
// `error` names the field or the file and the result is empty.
// `format` ("tessary-arrangement") and `version` (at most kArrangementVersion) are optional so
// that layouts written by hand before they existed still read.
std::optional<MergeLayout> readMergeLayout(const std::string& path, std::string& error);

inline constexpr int32_t kArrangementVersion = 1;
inline constexpr const char* kArrangementFormat = "tessary-arrangement";

// Writes `layout` to `path` atomically with its format and version, every field spelled out.
// A source file below the arrangement's folder is written relative to it, any other absolute,
// so that a folder moved as a whole still opens. False (and `error`) when it cannot be written.
bool writeMergeLayout(const std::string& path, const MergeLayout& layout, std::string& error);

} // namespace tessary

namespace tessary {
class MergeWorkspace;
}

namespace tessary {

// Gives place `slot` of the workspace the layout source's placement, mirror flag, layers and
// fade edge (not its file or bias weight).
void placeLayoutSource(MergeWorkspace& workspace, size_t slot, const LayoutSource& source);
// The arrangement of the workspace's loaded sources and settings, for saving. Only image-file
// sources have a file to refer to: any other kind gives false and `error` names the source.
bool captureArrangement(const MergeWorkspace& workspace, MergeLayout& layout, std::string& error);
// Gives the target document the layout's target settings (not the merge type).
void applyTargetSettings(MergeWorkspace& workspace, const MergeLayout& layout);

// The names the Merge Sources dialog gives the merge types, lower case, index = mergeType.
inline const char* const kMergeTypeNames[]
    = { "average", "brightest", "darkest", "most colored", "least colored" };

} // namespace tessary
