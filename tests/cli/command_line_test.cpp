// Command lines tessary-cli must refuse, or must still take, and what is on disk afterwards.
#include "merge/merge_fixtures.h"
#include "support/cli_run.h"
#include "support/codec_image_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace tessary {
namespace {

namespace fs = std::filesystem;
using testing::CliOutcome;
using testing::runCli;
using testing::ScratchFolder;

struct Refusal {
    std::string arguments; // run in the scratch folder
    int exitCode;
    std::string says;
};

class CliCommandLine : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directory(folder.file("in"));
        fs::create_directory(folder.file("empty"));
        fs::create_directory(folder.file("folder.json"));
        ASSERT_TRUE(testing::writeSolidImage(folder.file("mark.bmp"), 2, 2, { 0, 100, 200 }));
        ASSERT_TRUE(testing::writeSolidImage(folder.file("in/p.bmp"), 4, 3, { 200, 100, 0 }));
        std::ofstream(folder.file("layout.json")) << R"({"sources": [{"file": "mark.bmp"}]})";
        std::ofstream(folder.file("bad.json")) << R"({"sources": [{"file": "mark.bmp", "posx": 1}]})";
    }

    std::vector<std::string> names() const
    {
        std::vector<std::string> all;
        for (const auto& entry : fs::directory_iterator(folder.file("")))
            all.push_back(entry.path().filename().string());
        std::sort(all.begin(), all.end());
        return all;
    }

    // Each command line is refused with its exit code and message, and leaves the folder as
    // it was.
    void expectRefusedLeavingNothing(const std::vector<Refusal>& refusals)
    {
        const std::vector<std::string> before = names();
        for (const Refusal& r : refusals) {
            SCOPED_TRACE(r.arguments);
            const CliOutcome run = runCli(r.arguments, folder.file(""));
            EXPECT_EQ(run.exitCode, r.exitCode) << run.output;
            EXPECT_NE(run.output.find(r.says), std::string::npos) << run.output;
            EXPECT_EQ(names(), before);
        }
    }

    ScratchFolder folder;
};

TEST_F(CliCommandLine, AnOptionGivenWhereAValueBelongsIsNotTakenAsAName)
{
    expectRefusedLeavingNothing({
        { "merge layout.json -o --quiet", 2, "\"--quiet\" looks like an option" },
        { "merge layout.json --output -q", 2, "\"-q\" looks like an option" },
        { "merge layout.json --output=--quiet", 2, "\"--quiet\" looks like an option" },
        { "batch layout.json in -o --quiet", 2, "\"--quiet\" looks like an option" },
        { "batch layout.json in -o --position right", 2, "\"--position\" looks like an option" },
        { "batch layout.json in --position --quiet -o out", 2, "unknown position rule \"--quiet\"" },
    });
}

// OUTPUT_DIR is made only once everything else is known to be right.
TEST_F(CliCommandLine, InputsAreCheckedBeforeAnythingIsMade)
{
    expectRefusedLeavingNothing({
        { "batch layout.json nothing -o out", 1, "\"nothing\": Image files not found in this directory." },
        { "batch layout.json mark.bmp -o out", 1, "\"mark.bmp\": Image files not found" },
        { "batch layout.json empty -o out", 1, "\"empty\": Image files not found" },
        { "batch folder.json in -o out", 2, "cannot open \"folder.json\": it is a folder" },
        { "batch absent.json in -o out", 2, "cannot open \"absent.json\"" },
        { "batch bad.json in -o out", 2, "sources[0].posx: unknown field" },
        { "batch layout.json in", 2, "no output directory given" },
        { "merge folder.json -o out.bmp", 2, "cannot open \"folder.json\": it is a folder" },
        { "merge absent.json -o out.bmp", 2, "cannot open \"absent.json\"" },
    });
}

// A FIFO or device at OUT (or where a link leads) is never replaced by a file.
TEST_F(CliCommandLine, AnOutputThatIsNotARegularFileIsLeftAsItIs)
{
    ASSERT_EQ(mkfifo(folder.file("pipe").c_str(), 0644), 0);
    fs::create_symlink("pipe", folder.file("pipe.bmp"));
    fs::create_symlink("pipe", folder.file("pipe.png"));
    expectRefusedLeavingNothing({
        { "merge layout.json -o pipe.bmp", 1, "cannot save to \"pipe.bmp\": it leads to \"./pipe\", a FIFO" },
        { "merge layout.json -o pipe.png", 1, "a FIFO, not a regular file" },
        { "convert mark.bmp pipe.png", 1, "a FIFO, not a regular file" },
        { "batch layout.json in -o pipe", 1, "The target directory is a file" },
    });
    EXPECT_TRUE(fs::is_fifo(folder.file("pipe")));
    EXPECT_TRUE(fs::is_symlink(folder.file("pipe.bmp")));
}

// The forms scripts already use: options before, between and after the arguments, --position
// repeated or comma-separated, the last -o winning.
TEST_F(CliCommandLine, OptionsMayComeAnywhereAndRulesMayRepeat)
{
    const std::string commands[] = {
        "batch layout.json in -o out0 --position right,top",
        "batch -q -p right -o elsewhere layout.json -p top in -o out1",
        "batch layout.json --output=out2 in --position=right --position top --quiet",
    };
    for (const std::string& command : commands) {
        const CliOutcome run = runCli(command, folder.file(""));
        ASSERT_EQ(run.exitCode, 0) << command << "\n" << run.output;
    }
    EXPECT_FALSE(fs::exists(folder.file("elsewhere")));
    const auto first = ScratchFolder::read(folder.file("out0/p.bmp"));
    ASSERT_GT(first.size(), 54u);
    EXPECT_EQ(ScratchFolder::read(folder.file("out1/p.bmp")), first);
    EXPECT_EQ(ScratchFolder::read(folder.file("out2/p.bmp")), first);
}

} // namespace
} // namespace tessary
