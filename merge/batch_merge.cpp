#include "merge/batch_merge.h"

#include "align/normalise_positions.h"
#include "app/long_operation.h"
#include "app/workspace.h"
#include "image/cx_image.h"
#include "merge/batch_platform.h"
#include "merge/generate_target.h"
#include "merge/progress_colours.h"
#include "merge/transform_source.h"
#include "output/write_image_file.h"
#include "sources/load_image_file.h"

#include <cstdlib>
#include <memory>
#include <new>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace tessary {

namespace {

constexpr size_t kMark = 0;
constexpr size_t kFile = 1;

Size sizeOf(const MaskedDib& image)
{
    return { image.width(), std::abs(image.height()) };
}

// Every file of a run needs images of the same few sizes. While the run lasts, large blocks are
// kept in the heap instead of being mapped afresh for each file, so their pages are reused rather
// than faulted in and cleared by the system again (less than half the time per file); at the end
// the allocator's defaults come back and the memory is handed back.
class ReusedLargeBlocks {
public:
    ReusedLargeBlocks()
    {
#if defined(__GLIBC__)
        mallopt(M_MMAP_THRESHOLD, kLarge);
        mallopt(M_TRIM_THRESHOLD, kLarge);
#endif
    }
    ~ReusedLargeBlocks()
    {
#if defined(__GLIBC__)
        mallopt(M_MMAP_THRESHOLD, kDefault);
        mallopt(M_TRIM_THRESHOLD, kDefault);
        malloc_trim(0);
#endif
    }
    ReusedLargeBlocks(const ReusedLargeBlocks&) = delete;
    ReusedLargeBlocks& operator=(const ReusedLargeBlocks&) = delete;

private:
    static constexpr int kLarge = 1 << 30;
    static constexpr int kDefault = 128 * 1024;
};

const char* transformFailure(int result)
{
    switch (result) {
    case kTransformOutOfMemory:
        return kNotEnoughMemoryText;
    case kTransformUnsupported:
        return "the format of this image is not recognised";
    case kTransformRle:
        return "this image is an RLE bitmap, which cannot be handled";
    default:
        return "this image could not be processed";
    }
}

// The run's own workspace: the watermark as source 1 and a place for each file as source 2.
class BatchRun {
public:
    BatchRun(const MergeWorkspace& model, const BatchSettings& settings, BatchPlatform& platform,
        LongOperation& operation, PixelPath path)
        : model_(model)
        , settings_(settings)
        , platform_(platform)
        , operation_(operation)
        , path_(path)
    {
        const CAlignDoc& align = model.alignDoc;
        saved_ = SavedWatermark { align.placement[kMark].posX, align.placement[kMark].posY, align.placement[kMark].scaleX,
            align.placement[kMark].scaleY, align.placement[kFile].posX, align.placement[kFile].posY };
        const VIrorozIzi& mark = *model.documents[kMark];
        markOriginal_ = Size { mark.imageWidth, std::abs(mark.imageHeight) };

        ws_.sourceCount = 2;
        ws_.mergeType = settings.mergeType;
        ws_.biasWeight[kMark] = ws_.biasWeight[kFile] = 100.0 / 2;
        for (size_t place : { kMark, kFile }) {
            ws_.alignDoc.placement[place].topLevel = align.placement[place].topLevel;
            ws_.alignDoc.placement[place].bottomLevel = align.placement[place].bottomLevel;
            ws_.fadeEdge[place] = model.fadeEdge[place];
        }
        ws_.alignDoc.placement[kMark].rotation = align.placement[kMark].rotation;
        ws_.targetDoc.mirrored[kMark] = model.targetDoc.mirrored[kMark];
        ws_.targetDoc.copyTargetSettings(model.targetDoc);
    }

    // Merges one file and writes its result; the reason of a failure is left in `reason`.
    enum class Outcome { Written, Failed, Aborted };
    Outcome merge(const BatchFile& file, std::string& reason)
    {
        platform_.startRecording();
        const Outcome outcome = mergeFile(file, reason);
        if (outcome == Outcome::Failed && reason.empty())
            reason = platform_.recorded();
        platform_.stopRecording();
        // Nothing of this file stays while the next one is loaded.
        ws_.documents[kFile].reset();
        ws_.targetDoc.transformed[kFile] = MaskedDib {};
        ws_.targetDoc.targetImage.reset();
        return outcome;
    }

private:
    Outcome mergeFile(const BatchFile& file, std::string& reason)
    {
        auto doc = std::make_unique<VIrorozIzi>();
        doc->slotIndex = int32_t(kFile);
        doc->loadOptions = ws_.loadOptions;
        if (!loadImageFile(*doc, joinPath(settings_.inputFolder, file.name), platform_))
            return Outcome::Failed;
        ws_.documents[kFile] = std::move(doc);
        // Each file comes in as a new source does: at (0, 0), 100 %, unrotated, not mirrored.
        ws_.alignDoc.placement[kFile].posX = ws_.alignDoc.placement[kFile].posY = 0;
        ws_.alignDoc.placement[kFile].scaleX = ws_.alignDoc.placement[kFile].scaleY = 1024.0;
        ws_.alignDoc.placement[kFile].rotation = 0.0;
        ws_.targetDoc.mirrored[kFile] = 0;
        const int fileResult = transformSource(ws_, platform_, int(kFile) + 1, path_);
        // The decoded original is not needed once it is transformed.
        ws_.documents[kFile]->image = MaskedDib {};
        if (fileResult == kTransformAborted)
            return Outcome::Aborted;
        if (fileResult != kTransformDone) {
            reason = transformFailure(fileResult);
            return Outcome::Failed;
        }
        const Size fileSize = sizeOf(ws_.targetDoc.transformed[kFile]);

        const BatchScale scale = batchWatermarkScale(settings_.options, saved_, markOriginal_, fileSize);
        if (!markReady_ || scale.scaleX != ws_.alignDoc.placement[kMark].scaleX
            || scale.scaleY != ws_.alignDoc.placement[kMark].scaleY) {
            ws_.alignDoc.placement[kMark].scaleX = scale.scaleX;
            ws_.alignDoc.placement[kMark].scaleY = scale.scaleY;
            const Outcome marked = transformMark(reason);
            if (marked != Outcome::Written)
                return marked;
        }
        const BatchPosition at = batchWatermarkPosition(settings_.options, saved_, ws_.alignDoc.placement[kFile].posX,
            ws_.alignDoc.placement[kFile].posY, fileSize, sizeOf(ws_.targetDoc.transformed[kMark]));
        ws_.alignDoc.placement[kMark].posX = at.posX;
        ws_.alignDoc.placement[kMark].posY = at.posY;
        normalisePositions(ws_.alignDoc, ws_.sourceCount);

        // The merge type is set again just before each generation.
        ws_.mergeType = settings_.mergeType;
        if (!generateTarget(ws_, platform_, path_)) {
            if (platform_.quitAnsweredYes())
                return Outcome::Aborted;
            reason = "the target could not be generated";
            return Outcome::Failed;
        }
        const std::string out = joinPath(settings_.targetFolder, file.outputName);
        const ImageMetadata metadata = settings_.keepMetadata
            ? ImageMetadata::readFrom(joinPath(settings_.inputFolder, file.name))
            : ImageMetadata {};
        if (!writeImageFile(*ws_.targetDoc.targetImage, out, metadata)) {
            reason = kFailedFileSave;
            return Outcome::Failed;
        }
        return Outcome::Written;
    }

    Outcome transformMark(std::string& reason)
    {
        markReady_ = false;
        MaskedDib& out = ws_.targetDoc.transformed[kMark];
        const int result = transformImage(model_.documents[kMark]->image, ws_.alignDoc.placement[kMark].scaleX,
            ws_.alignDoc.placement[kMark].scaleY, ws_.alignDoc.placement[kMark].rotation, ws_.targetDoc.mirrored[kMark] != 0,
            operation_, ws_.targetDoc.progress, out, path_);
        if (result == kTransformAborted)
            return Outcome::Aborted;
        if (result != kTransformDone) {
            reason = std::string("the watermark: ") + transformFailure(result);
            return Outcome::Failed;
        }
        markReady_ = true;
        return Outcome::Written;
    }

    const MergeWorkspace& model_;
    const BatchSettings& settings_;
    BatchPlatform& platform_;
    LongOperation& operation_;
    PixelPath path_;
    MergeWorkspace ws_;
    SavedWatermark saved_;
    Size markOriginal_;
    bool markReady_ = false;
};

} // namespace

bool batchMergePossible(const MergeWorkspace& workspace)
{
    if (workspace.sourceCount < 2)
        return false;
    const VIrorozIzi* mark = workspace.documents[kMark].get();
    const VIrorozIzi* file = workspace.documents[kFile].get();
    return mark && !mark->image.empty() && file && file->sourceKind == kSourceImageFile
        && !file->filePath.empty();
}

namespace {

BatchSummary runFiles(const MergeWorkspace& model, const BatchSettings& settings, Platform& platform,
    BatchListener* listener, PixelPath path)
{
    BatchSummary summary;
    const VIrorozIzi* mark = model.sourceCount >= 1 ? model.documents[kMark].get() : nullptr;
    if (!mark || mark->image.empty()) {
        platform.messageBox(kBatchNeedsTwoSources, MessageIcon::Error, MessageButtons::Ok);
        return summary;
    }
    const std::string refusal = prepareTargetFolder(settings.targetFolder, settings.inputFolder);
    if (!refusal.empty()) {
        platform.messageBox(refusal, MessageIcon::Error, MessageButtons::Ok);
        return summary;
    }
    std::vector<std::string> names;
    if (!listBatchImages(settings.inputFolder, names) || names.empty()) {
        platform.messageBox(kImageFilesNotFound, MessageIcon::Error, MessageButtons::Ok);
        return summary;
    }
    const std::vector<BatchFile> files = planBatchOutputs(names);
    summary.started = true;
    summary.listed = int(files.size());

    ReusedLargeBlocks reuse;
    BatchPlatform batchPlatform(platform, settings.pollInterval);
    LongOperation operation(batchPlatform);
    operation.showPaneText(0, kPressEscText);
    BatchRun run(model, settings, batchPlatform, operation, path);
    const int count = int(files.size());
    for (int i = 0; i < count; ++i) {
        const BatchFile& file = files[size_t(i)];
        if (listener)
            listener->fileStarted(i, count, file);
        // Between files: the window shows the file's name, and Esc may end the run.
        batchPlatform.pollAtOnce();
        if (operation.pollEscape()) {
            summary.aborted = true;
            break;
        }
        std::string reason;
        const BatchRun::Outcome outcome = run.merge(file, reason);
        if (outcome == BatchRun::Outcome::Aborted) {
            summary.aborted = true;
            break;
        }
        if (outcome == BatchRun::Outcome::Written)
            summary.written.push_back(file.outputName);
        else
            summary.failed.push_back({ file.name, reason });
        if (listener)
            listener->fileFinished(i, count, file, outcome == BatchRun::Outcome::Written);
    }
    return summary;
}

} // namespace

BatchSummary runBatchMerge(const MergeWorkspace& model, const BatchSettings& settings, Platform& platform,
    BatchListener* listener, PixelPath path)
{
    // The images have their own checked allocations; what is left (names, small records) must
    // not throw out of the core either. The results written so far stay.
    try {
        return runFiles(model, settings, platform, listener, path);
    } catch (const std::bad_alloc&) {
        platform.messageBox(kRunOutOfMemory, MessageIcon::Error, MessageButtons::Ok);
        return BatchSummary {};
    }
}

std::string batchSummaryText(const BatchSummary& summary, const std::string& targetFolder)
{
    std::string text = summary.aborted ? kBatchStopped : kBatchComplete;
    const size_t written = summary.written.size();
    text += "\n\n" + std::to_string(written) + (written == 1 ? " file" : " files") + " of "
        + std::to_string(summary.listed) + " written to " + targetFolder + ".";
    if (!summary.failed.empty()) {
        text += "\n\n" + std::to_string(summary.failed.size()) + " failed:";
        for (const BatchFailure& f : summary.failed)
            text += "\n" + f.name + ": " + f.reason;
    }
    return text;
}

} // namespace tessary
