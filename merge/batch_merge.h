#pragma once
#include "merge/batch_files.h"
#include "merge/batch_placement.h"
#include "merge/pixel_path.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace tessary {

class MergeWorkspace;
class Platform;

inline constexpr const char* kBatchComplete = "Batch merging is complete.";
inline constexpr const char* kBatchStopped = "Batch merging was stopped with Esc.";
inline constexpr const char* kBatchNeedsTwoSources
    = "Batch merging needs the watermark as source 1 and an image file as source 2.\n"
      "The images of source 2's directory are watermarked.";

// What one run does: which folder, where the results go, how the watermark is placed and
// which merge type is used.
struct BatchSettings {
    std::string inputFolder;
    std::string targetFolder;
    BatchOptions options {};
    int32_t mergeType = 0;
    // Each result keeps the EXIF, IPTC and XMP of the file it was made from, where its format
    // holds them (see ImageMetadata).
    bool keepMetadata = true;
    // How often, at most, Esc is looked at (and the windows repaint) while a file is merged;
    // between files it is looked at every time.
    std::chrono::milliseconds pollInterval { 40 };
};

struct BatchFailure {
    std::string name;
    std::string reason;
};

struct BatchSummary {
    // False when the run was refused before any file (its message has been shown).
    bool started = false;
    bool aborted = false;
    int listed = 0;
    std::vector<std::string> written; // result names, in order
    std::vector<BatchFailure> failed;
};

// Told about each file as the run reaches it and leaves it, so a window can show which file is
// being merged (it is repainted during the run's escape polls).
class BatchListener {
public:
    virtual ~BatchListener() = default;
    virtual void fileStarted(int index, int count, const BatchFile& file) = 0;
    virtual void fileFinished(int index, int count, const BatchFile& file, bool written) = 0;
};

// Watermarks every image of `settings.inputFolder` with source 1 of `model` and writes the
// results into `settings.targetFolder`, as one long operation.
//
// `model` is only read: each file is merged in a workspace of the run's own holding exactly the
// watermark (source 1's image, rotation, mirroring, layers and fade edge) as source 1 and the
// file as source 2 (a new source's placement, with the layers and fade edge of `model`'s place
// 2, the bias weights in equal shares), with `model`'s target settings and `settings.mergeType`.
// So the user's sources, placements and target stay as they were, and each result holds only
// the watermark and its own file. The watermark is transformed once, and again only when its
// scale changes; each file's images are freed before the next file is loaded.
//
// Refusals before any file, each shown through `platform` with the error icon: the target
// folder (see prepareTargetFolder), an input folder that cannot be listed or holds no image
// (kImageFilesNotFound). A file that cannot be loaded, transformed, merged or written is listed
// in `failed` with the reason and the run goes on; Esc between or inside files, answered Yes,
// stops it (`aborted`). Messages of a failing file are not shown but kept as its reason.
BatchSummary runBatchMerge(const MergeWorkspace& model, const BatchSettings& settings, Platform& platform,
    BatchListener* listener = nullptr, PixelPath path = PixelPath::RowsTwoThreads);

// The closing message: complete or stopped, how many results were written where, and each
// failed file with its reason.
std::string batchSummaryText(const BatchSummary& summary, const std::string& targetFolder);

// The dialog may open only with two sources or more and an image file as source 2.
bool batchMergePossible(const MergeWorkspace& workspace);

} // namespace tessary
