#include "app/resident_memory.h"
#include "cli/commands.h"
#include "cli/internal_error.h"
#include "cli/signal_cleanup.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char* const kUsage = R"(Usage: tessary-cli [--peak-memory] COMMAND [ARGUMENTS]

Tessary's image merging without windows.

Commands:
  info FILE                      size, depth, format, orientation and colour profile of an
                                 image file
  convert IN OUT                 load IN as Tessary loads a source, save OUT in the format
                                 named by OUT's last three characters
  merge LAYOUT.json -o OUT [--quiet]
                                 merge the sources a layout file places into OUT
  batch LAYOUT.json INPUT_DIR -o OUTPUT_DIR [--position RULE[,RULE...]] [--quiet]
                                 watermark every image of INPUT_DIR with the layout's
                                 first source, results into OUTPUT_DIR
  adjust IN OUT OPERATION [OPTIONS] [--quiet]
                                 load IN as a source, apply one correction (black-and-white,
                                 brightness-contrast, trapezoid, skew, pincushion, cylinder,
                                 grid) and save OUT; "adjust --help" lists the options

Options:
  --help         show this help and exit
  --version      show the version and exit
  --peak-memory  when COMMAND ends, print the most memory it held on stderr
)";

struct Command {
    const char* name;
    int (*run)(int, char**);
};

constexpr Command kCommands[] = {
    { "info", tessary::cli::runInfo },
    { "convert", tessary::cli::runConvert },
    { "merge", tessary::cli::runMerge },
    { "batch", tessary::cli::runBatch },
    { "adjust", tessary::cli::runAdjust },
};

int runCommand(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string command = argv[1];
    if (command == "--help" || command == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "--version") {
        std::printf("tessary-cli %s\n", TESSARY_VERSION);
        return 0;
    }
    for (const Command& c : kCommands)
        if (command == c.name)
            return c.run(argc - 2, argv + 2);
    std::fprintf(stderr, "tessary-cli: unknown command \"%s\"\n\n%s", command.c_str(), kUsage);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    tessary::cli::removeTemporariesOnSignals();
    const bool peakMemory = argc >= 2 && std::strcmp(argv[1], "--peak-memory") == 0;
    const int status = tessary::cli::runReportingExceptions(
        [&] { return peakMemory ? runCommand(argc - 1, argv + 1) : runCommand(argc, argv); });
    if (!peakMemory)
        return status;
    // After everything the command printed, whichever stream it used.
    std::fflush(stdout);
    std::fprintf(stderr, "tessary-cli: peak memory %.1f MB\n", double(tessary::peakResidentBytes()) / 1e6);
    return status;
}
