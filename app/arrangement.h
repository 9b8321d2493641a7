#pragma once
#include "image/colour.h"
#include "merge/target_doc.h"
#include "sources/load_options.h"
#include "sources/stored_text.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessary {

// One source of a merge layout, with the program's construction values where the layout
// leaves a field out.
struct LayoutSource {
    std::string file; // resolved against the layout file's folder; empty for a text source
    std::optional<StoredText> text; // a text source, rendered from these fields
    int32_t posX = 0;
    int32_t posY = 0;
    double scaleX = 1024.0;
    double scaleY = 1024.0;
    double rotation = 0.0;
    bool mirrored = false;
    int32_t topLevel = -1;
    int32_t bottomLevel = -1;
    std::optional<double> biasWeight; // none: an equal share of the pie
    bool fadeEdge = false;
    // How the file is read: both on unless the layout is of version 1, whose sources load as
    // they always did (no stored transparency, no turning upright).
    LoadOptions loadOptions;
    friend bool operator==(const LayoutSource&, const LayoutSource&) = default;
};

struct MergeLayout {
    std::vector<LayoutSource> sources;
    int32_t mergeType = 0;
    int32_t thresholdFuzziness = kThresholdFuzziness.start;
    ColourRef backgroundColour = 0;
    int32_t marginX = kMargin.start;
    int32_t marginY = kMargin.start;
    ColourRef marginColour = 0;
    int32_t targetContrast = kTargetContrast.start;
    int32_t targetBrightness = kTargetBrightness.start;
    friend bool operator==(const MergeLayout&, const MergeLayout&) = default;
};

// The largest layout file read. The largest arrangement the program can write (eight text
// sources, each with the longest text and font name, written with every character escaped)
// is well under half of it.
inline constexpr size_t kMaxLayoutBytes = size_t(1) << 20;

// Whether a source file that is not there refuses the whole layout (a merge cannot go on
// without it) or is left for the caller to report while the other sources load.
enum class SourceFiles { MustExist, MayBeMissing };

// Reads and checks the layout file at `path`: a JSON object whose names are the program's own
// (see the README). Every source has either a `file` or a `text`; every other field is optional.
// Refuses unknown fields, wrong types, values outside the ranges the program's dialogs allow,
// more than 8 sources, source files whose names do not end in one of the six formats and, with
// SourceFiles::MustExist, source files that do not exist; then `error` names the field or the
// file and the result is empty.
// `format` ("tessary-arrangement") and `version` (at most kArrangementVersion) are optional so
// that layouts written by hand before they existed still read.
// A text's line ends, whatever they are, are stored as the Text Entry dialog stores typed text.
// Whatever the file holds, nothing is thrown: a path that is no regular file, a file larger
// than kMaxLayoutBytes (not read beyond that), one nested deeper than an arrangement, one that
// is not JSON or cannot be read, and running out of memory are all refusals naming the file.
std::optional<MergeLayout> readMergeLayout(
    const std::string& path, std::string& error, SourceFiles files = SourceFiles::MustExist);

// The same for a layout file's bytes, already read: `path` names it in messages and gives the
// folder its source files are relative to.
std::optional<MergeLayout> parseMergeLayout(std::string_view bytes, const std::string& path,
    std::string& error, SourceFiles files = SourceFiles::MustExist);

// Version 2 added each file source's `fileTransparency` and `upright`.
inline constexpr int32_t kArrangementVersion = 2;
inline constexpr const char* kArrangementFormat = "tessary-arrangement";

// Writes `layout` to `path` atomically with its format and version, every field spelled out.
// A source file below the arrangement's folder is written relative to it, any other absolute,
// so that a folder moved as a whole still opens. False (and `error`) when it cannot be written.
bool writeMergeLayout(const std::string& path, const MergeLayout& layout, std::string& error);
// The text writeMergeLayout writes into `path`; nothing (and `error`) when a name is not UTF-8
// or memory runs out.
std::optional<std::string> mergeLayoutText(
    const std::string& path, const MergeLayout& layout, std::string& error);

} // namespace tessary

namespace tessary {
class MergeWorkspace;
}

namespace tessary {

// Gives place `slot` of the workspace the layout source's placement, mirror flag, layers and
// fade edge (not its file or bias weight).
void placeLayoutSource(MergeWorkspace& workspace, size_t slot, const LayoutSource& source);
// A source image that has no file of its own (pasted, or a copy of the target) and is written
// beside the arrangement as `path` when the arrangement is saved.
struct ImageBesideArrangement {
    size_t slot = 0;
    std::string path;
};

// The file a pasted or target-copy source `number` is kept in beside the arrangement at
// `arrangementPath`: "<name>-source<number>.png", the name without ".tessary.json".
std::string imageBesideArrangement(const std::string& arrangementPath, int number);

// The arrangement of the workspace's loaded sources and settings, for saving to
// `arrangementPath`. Image-file sources refer to their files, text sources keep their text,
// font and colours, and pasted and target-copy sources refer to the files listed in `beside`,
// which the caller writes.
void captureArrangement(const MergeWorkspace& workspace, const std::string& arrangementPath,
    MergeLayout& layout, std::vector<ImageBesideArrangement>& beside);
// Gives the target document the layout's target settings (not the merge type).
void applyTargetSettings(MergeWorkspace& workspace, const MergeLayout& layout);

// The names the Merge Sources dialog gives the merge types, lower case, index = mergeType.
inline const char* const kMergeTypeNames[]
    = { "average", "brightest", "darkest", "most colored", "least colored" };

} // namespace tessary
