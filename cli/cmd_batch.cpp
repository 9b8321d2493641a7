// tessary-cli batch LAYOUT.json INPUT_DIR -o OUTPUT_DIR: the batch merge without windows. The
// layout's first source is the watermark (its file, placement and merge settings as `merge`
// reads them); a second source, when given, only says where source 2 lies and in which layer.
#include "app/workspace.h"
#include "cli/cli_files.h"
#include "cli/commands.h"
#include "app/arrangement.h"
#include "cli/terminal_platform.h"
#include "merge/batch_merge.h"
#include "sources/load_image_file.h"

#include <cstdio>
#include <string>

namespace tessary::cli {

namespace {
const char* const kBatchUsage
    = "Usage: tessary-cli batch LAYOUT.json INPUT_DIR -o OUTPUT_DIR [--position RULE[,RULE...]] [--quiet]\n"
      "  Watermarks every bmp, jpg, png, tif, tga and pcx file of INPUT_DIR with the layout's first\n"
      "  source and writes the results under their lower-case names into OUTPUT_DIR.\n"
      "  RULE: stretch, center-horizontal, center-vertical, left, right, top, bottom, as-set\n"
      "  (later rules clear the ones they exclude, as the dialog's boxes do; without a rule the\n"
      "  watermark keeps the layout's offset from source 2). --quiet hides the progress bars.\n";

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

int usageError(const std::string& text)
{
    std::fprintf(stderr, "tessary-cli batch: %s\n%s", text.c_str(), kBatchUsage);
    return kExitUsage;
}

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
    std::string layoutPath, inputDir, outputDir;
    BatchOptions options {};
    bool quiet = false;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kBatchUsage, stdout);
            return 0;
        }
        if (arg == "--quiet" || arg == "-q") {
            quiet = true;
        } else if (arg == "-o" || arg == "--output") {
            if (i + 1 >= argc)
                return usageError("-o needs the output directory");
            outputDir = argv[++i];
        } else if (arg == "--position" || arg == "-p") {
            if (i + 1 >= argc)
                return usageError("--position needs a rule");
            std::string bad;
            if (!addRules(argv[++i], options, bad))
                return usageError("unknown position rule \"" + bad + "\"");
        } else if (!arg.empty() && arg[0] == '-') {
            return usageError("unknown option \"" + arg + "\"");
        } else if (layoutPath.empty()) {
            layoutPath = arg;
        } else if (inputDir.empty()) {
            inputDir = arg;
        } else {
            return usageError("too many arguments");
        }
    }
    if (layoutPath.empty())
        return usageError("no layout file given");
    if (inputDir.empty())
        return usageError("no input directory given");
    if (outputDir.empty())
        return usageError("no output directory given (-o OUTPUT_DIR)");

    std::string error;
    const std::optional<MergeLayout> layout = readMergeLayout(layoutPath, error);
    if (!layout) {
        std::fprintf(stderr, "tessary-cli batch: %s\n", error.c_str());
        return kExitUsage;
    }
    if (refuseTextSources(*layout, "batch"))
        return kExitUsage;
    if (layout->sources.size() > 2) {
        std::fputs(
            "tessary-cli batch: sources: a batch layout holds the watermark and at most source 2\n", stderr);
        return kExitUsage;
    }

    MergeWorkspace ws;
    TerminalPlatform platform(quiet);
    auto mark = std::make_unique<VIrorozIzi>();
    VIrorozIzi& watermark = *mark;
    ws.documents[0] = std::move(mark);
    ws.sourceCount = 1;
    const LayoutSource& w = layout->sources[0];
    platform.announce("Loading " + w.file);
    if (!loadImageFile(watermark, w.file, platform)) {
        std::fprintf(stderr, "tessary-cli batch: cannot load the watermark \"%s\"\n", w.file.c_str());
        return kExitFailed;
    }
    for (size_t slot = 0; slot < layout->sources.size(); ++slot)
        placeLayoutSource(ws, slot, layout->sources[slot]);
    applyTargetSettings(ws, *layout);

    const BatchSettings settings { inputDir, outputDir, options, layout->mergeType };
    FileAnnouncer announcer(platform);
    const BatchSummary summary = runBatchMerge(ws, settings, platform, &announcer);
    if (!summary.started)
        return kExitFailed;
    const std::string text = batchSummaryText(summary, outputDir);
    const bool clean = !summary.aborted && summary.failed.empty();
    if (clean && !quiet)
        std::fprintf(stderr, "%s\n", text.c_str());
    else if (!clean)
        std::fprintf(stderr, "tessary-cli batch: %s\n", text.c_str());
    return clean ? 0 : kExitFailed;
}

} // namespace tessary::cli
