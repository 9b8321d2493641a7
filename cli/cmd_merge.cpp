// tessary-cli merge LAYOUT.json -o OUT [--quiet]: the road of one merge without windows. Each
// source file is loaded as the program loads a source (the next one while the last one is
// prepared) and placed, the target is generated with the layout's merge settings, and it is
// saved through the program's writers in the format named by OUT's last three characters.
// Nothing needs the transformed sources afterwards, so the merge transforms each source's rows
// as it reads them instead of holding whole transformed images; a BMP target is generated
// straight into the file it is saved as.
#include "align/normalise_positions.h"
#include "app/workspace.h"
#include "cli/cli_files.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/mapped_target.h"
#include "app/arrangement.h"
#include "cli/source_prefetch.h"
#include "cli/terminal_platform.h"
#include "image/cx_image.h"
#include "merge/generate_target.h"
#include "merge/row_transformer.h"
#include "merge/transform_source.h"
#include "output/write_image_file.h"

#include <cstdio>
#include <optional>
#include <string>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace tessary::cli {

namespace {
constexpr int kExitFailed = 1;

struct MergeRequest {
    std::string layoutPath, outPath;
    bool quiet = false;
};

// Hands memory freed by the large images back to the system, so that the next phase's peak
// does not sit on top of the last one's leftovers.
void returnFreedMemory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

// Reads the command line into `request`; an exit code when the command should end here.
std::optional<int> parse(int argc, char** argv, MergeRequest& request)
{
    CLI::App app("Merges the sources a layout file places into one image.", "tessary-cli merge");
    app.footer(std::string("OUT ends in ") + kOutputEndings + ".\n");
    app.add_option("LAYOUT", request.layoutPath, "the layout file (JSON)")->required();
    app.add_option("-o,--output", request.outPath, "the file to write")
        ->type_name("OUT")
        ->check(notAnOption())
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app.add_flag("-q,--quiet", request.quiet, "no progress bars");
    if (const std::optional<int> exit = parseCommandLine(app, argc, argv))
        return exit;
    if (request.outPath.empty())
        return commandLineError(app, "no output file given (-o OUT)");
    if (!formatFromFileName(request.outPath))
        return commandLineError(app, "\"" + request.outPath + "\" does not end in " + kOutputEndings);
    return std::nullopt;
}

const char* transformFailure(int result)
{
    switch (result) {
    case kTransformUnsupported:
        return "the format of this source image is not recognised";
    case kTransformRle:
        return "this source image is an RLE bitmap, which cannot be handled";
    case kTransformOutOfMemory:
        return nullptr; // its message has been shown
    default:
        return "this source image could not be processed";
    }
}
}

int runMerge(int argc, char** argv)
{
    MergeRequest request;
    if (const std::optional<int> exit = parse(argc, argv, request))
        return *exit;
    const std::string& outPath = request.outPath;
    const std::optional<MergeLayout> layout = readCommandLayout(request.layoutPath, "merge");
    if (!layout)
        return kExitUsageError;
    TerminalPlatform platform(request.quiet);
    // Known before the work rather than after it.
    if (!outputAllowed(outPath, platform))
        return kExitFailed;

    MergeWorkspace ws;
    const int count = int(layout->sources.size());
    // Each source is decoded on a helper thread while the one before it is prepared.
    PerPlace<RowTransformer> inRows;
    SourcePrefetch next;
    if (count > 0)
        next.start(layout->sources[0].file, 0, layout->sources[0].loadOptions);
    for (int i = 0; i < count; ++i) {
        const LayoutSource& s = layout->sources[size_t(i)];
        const size_t slot = size_t(i);
        platform.announce("Loading " + s.file);
        std::unique_ptr<VIrorozIzi> doc = next.take(platform);
        if (!doc) {
            std::fprintf(stderr, "tessary-cli merge: cannot load source %d, \"%s\"\n", i + 1, s.file.c_str());
            return kExitFailed;
        }
        if (i + 1 < count)
            next.start(layout->sources[size_t(i) + 1].file, i + 1, layout->sources[size_t(i) + 1].loadOptions);
        // The source takes the next place, as a new source document does.
        VIrorozIzi& source = *doc;
        ws.documents[slot] = std::move(doc);
        ws.sourceCount = i + 1;
        placeLayoutSource(ws, slot, s);

        const int result = transformSourceForMerge(ws, platform, i + 1, inRows[slot]);
        if (result != kTransformDone) {
            if (const char* why = transformFailure(result))
                std::fprintf(
                    stderr, "tessary-cli merge: source %d, \"%s\": %s\n", i + 1, s.file.c_str(), why);
            return kExitFailed;
        }
        // A source transformed whole takes part through its transformed copy alone, so the
        // decoded original can go; the others are read again during the merge.
        if (!inRows[slot].prepared()) {
            releaseMaskedDib(source.image);
            returnFreedMemory();
        }
    }

    ws.equalBiasWeights();
    for (int i = 0; i < count; ++i)
        if (layout->sources[size_t(i)].biasWeight)
            ws.biasWeight[size_t(i)] = *layout->sources[size_t(i)].biasWeight;
    ws.mergeType = layout->mergeType;
    CDestdoc& target = ws.targetDoc;
    applyTargetSettings(ws, *layout);
    normalisePositions(ws.alignDoc, ws.sourceCount);

    PerPlace<const RowTransformer*> transformers {};
    for (size_t s = 0; s < transformers.size(); ++s)
        transformers[s] = inRows[s].prepared() ? &inRows[s] : nullptr;
    MappedTarget mapped(outPath);
    if (!generateTarget(ws, platform, PixelPath::RowsTwoThreads, transformers, mapped.provider())) {
        std::fputs("tessary-cli merge: the target could not be generated\n", stderr);
        return kExitFailed;
    }
    // The sources are no longer needed while the file is encoded.
    for (MaskedDib& t : target.transformed)
        t = MaskedDib {};
    inRows = {};
    for (size_t s = 0; s < size_t(count); ++s)
        ws.documents[s].reset();
    returnFreedMemory();

    platform.announce("Saving " + outPath);
    const bool saved = mapped.holds(*target.targetImage) ? mapped.save(target.targetImage)
                                                         : writeImageFile(*target.targetImage, outPath);
    if (!saved) {
        platform.messageBox(kFailedFileSave, MessageIcon::Plain, MessageButtons::Ok);
        return kExitFailed;
    }
    return 0;
}

} // namespace tessary::cli
