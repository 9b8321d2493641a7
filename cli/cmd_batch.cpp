// tessary-cli batch LAYOUT.json INPUT_DIR -o OUTPUT_DIR: the batch merge without windows. The
// layout's first source is the watermark (its file, placement and merge settings as `merge`
// reads them); a second source, when given, only says where source 2 lies and in which layer.
#include "app/workspace.h"
#include "cli/cli_files.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "app/arrangement.h"
#include "cli/terminal_platform.h"
#include "merge/batch_files.h"
#include "merge/batch_merge.h"
#include "sources/load_image_file.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace tessary::cli {

namespace {
const char* const kBatchFooter = R"(RULE: stretch, center-horizontal, center-vertical, left, right, top, bottom, as-set (later
rules clear the ones they exclude, as the dialog's boxes do; without a rule the watermark
keeps the layout's offset from source 2).
METADATA: a JPEG, PNG or TIFF result keeps the EXIF, IPTC and XMP of its file, with orientation 1
(the pixels are upright), the result's width and height, sRGB as colour space, and no thumbnail or
colour profile; BMP, TGA and PCX results have none.
)";

constexpr int kExitFailed = 1;

struct BatchRequest {
    std::string layoutPath, inputDir, outputDir;
    std::vector<std::string> positions;
    bool quiet = false;
    bool stripMetadata = false;
};

struct RuleName {
    const char* name;
    BatchOption option;
};
constexpr RuleName kRules[] = {
    { "stretch", kStretchToFit },
    { "center-horizontal", kCenterHorizontal },
    { "center-vertical", kCenterVertical },
    { "left", kPositionLeft },
    { "right", kPositionRight },
    { "top", kPositionTop },
    { "bottom", kPositionBottom },
    { "as-set", kAsSetInAlignWindow },
};

// Checks each comma-separated rule of `list` in order; false names the unknown rule in `bad`.
bool addRules(const std::string& list, BatchOptions& options, std::string& bad)
{
    size_t start = 0;
    while (start <= list.size()) {
        const size_t comma = std::min(list.find(',', start), list.size());
        const std::string rule = list.substr(start, comma - start);
        bool known = false;
        for (const RuleName& r : kRules)
            if (rule == r.name) {
                setBatchOption(options, r.option, true);
                known = true;
            }
        if (!known) {
            bad = rule;
            return false;
        }
        start = comma + 1;
    }
    return true;
}

// Reads the command line into `request` and `options`; an exit code when the command should end
// here.
std::optional<int> parse(int argc, char** argv, BatchRequest& request, BatchOptions& options)
{
    CLI::App app("Watermarks every bmp, jpg (jpeg, jpe, jfif), png, tif (tiff), tga and pcx file of\n"
                 "INPUT_DIR with the layout's first source and writes the results under their lower-case\n"
                 "names into OUTPUT_DIR.",
        "tessary-cli batch");
    app.footer(kBatchFooter);
    app.add_option("LAYOUT", request.layoutPath, "the layout file (JSON)")->required();
    app.add_option("INPUT_DIR", request.inputDir, "the folder of the images")->required();
    app.add_option("-o,--output", request.outputDir, "the folder to write the results into")
        ->type_name("OUTPUT_DIR")
        ->check(notAnOption())
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    // One value each time it is given, so that a rule never takes INPUT_DIR along.
    app.add_option("-p,--position", request.positions, "where the watermark goes, comma-separated or repeated")
        ->type_name("RULE[,RULE...]")
        ->allow_extra_args(false);
    app.add_flag("-q,--quiet", request.quiet, "no progress bars");
    app.add_flag("--strip-metadata", request.stripMetadata, "write the results without their files' metadata");
    if (const std::optional<int> exit = parseCommandLine(app, argc, argv))
        return exit;
    for (const std::string& list : request.positions) {
        std::string bad;
        if (!addRules(list, options, bad))
            return commandLineError(app, "unknown position rule \"" + bad + "\"");
    }
    if (request.outputDir.empty())
        return commandLineError(app, "no output directory given (-o OUTPUT_DIR)");
    return std::nullopt;
}

// One line per file while the bars are shown.
class FileAnnouncer final : public BatchListener {
public:
    explicit FileAnnouncer(TerminalPlatform& platform)
        : platform_(platform)
    {
    }
    void fileStarted(int index, int count, const BatchFile& file) override
    {
        platform_.announce("[" + std::to_string(index + 1) + "/" + std::to_string(count) + "] " + file.name);
    }
    void fileFinished(int, int, const BatchFile&, bool) override { }

private:
    TerminalPlatform& platform_;
};
}

int runBatch(int argc, char** argv)
{
    BatchRequest request;
    BatchOptions options {};
    if (const std::optional<int> exit = parse(argc, argv, request, options))
        return *exit;
    const std::optional<MergeLayout> layout = readCommandLayout(request.layoutPath, "batch");
    if (!layout)
        return kExitUsageError;
    if (layout->sources.size() > 2) {
        std::fputs(
            "tessary-cli batch: sources: a batch layout holds the watermark and at most source 2\n", stderr);
        return kExitUsageError;
    }
    // The run makes OUTPUT_DIR before it lists INPUT_DIR: a wrong INPUT_DIR must not leave an
    // empty folder behind.
    std::vector<std::string> images;
    if (!listBatchImages(request.inputDir, images) || images.empty()) {
        std::fprintf(stderr, "tessary-cli batch: \"%s\": %s\n", request.inputDir.c_str(), kImageFilesNotFound);
        return kExitFailed;
    }

    MergeWorkspace ws;
    TerminalPlatform platform(request.quiet);
    auto mark = std::make_unique<VIrorozIzi>();
    VIrorozIzi& watermark = *mark;
    ws.documents[0] = std::move(mark);
    ws.sourceCount = 1;
    const LayoutSource& w = layout->sources[0];
    // The watermark is read as its layout says; the pictures of the folder are no part of the
    // layout and are read as the program reads pictures now (transparency kept, turned upright).
    watermark.loadOptions = w.loadOptions;
    platform.announce("Loading " + w.file);
    if (!loadImageFile(watermark, w.file, platform)) {
        std::fprintf(stderr, "tessary-cli batch: cannot load the watermark \"%s\"\n", w.file.c_str());
        return kExitFailed;
    }
    for (size_t slot = 0; slot < layout->sources.size(); ++slot)
        placeLayoutSource(ws, slot, layout->sources[slot]);
    applyTargetSettings(ws, *layout);

    BatchSettings settings { request.inputDir, request.outputDir, options, layout->mergeType };
    settings.keepMetadata = !request.stripMetadata;
    FileAnnouncer announcer(platform);
    const BatchSummary summary = runBatchMerge(ws, settings, platform, &announcer);
    if (!summary.started)
        return kExitFailed;
    const std::string text = batchSummaryText(summary, request.outputDir);
    const bool clean = !summary.aborted && summary.failed.empty();
    if (clean && !request.quiet)
        std::fprintf(stderr, "%s\n", text.c_str());
    else if (!clean)
        std::fprintf(stderr, "tessary-cli batch: %s\n", text.c_str());
    return clean ? 0 : kExitFailed;
}

} // namespace tessary::cli
