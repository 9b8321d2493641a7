// Save Arrangement writes pasted and target-copy sources beside the arrangement: never over a
// picture the arrangement itself loads, and over any other file only when the user agrees.
#include "app/arrangement.h"
#include "app/save_arrangement.h"
#include "app/workspace.h"
#include "merge/merge_fixtures.h"
#include "sources/source_doc.h"
#include "support/codec_image_util.h"
#include "support/fake_platform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace tessary {
namespace {

namespace fs = std::filesystem;
using testing::ScratchFolder;

std::string contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

struct SavedSources {
    MergeWorkspace workspace;
    testing::FakePlatform platform;
    ScratchFolder folder;

    // Source `slot` is a pasted image, or an image file at `file`.
    void add(size_t slot, const std::string& file = {})
    {
        auto doc = std::make_unique<VIrorozIzi>();
        doc->sourceKind = file.empty() ? kSourcePaste : kSourceImageFile;
        doc->filePath = file;
        doc->image = testing::solidImage24(3, 2, BgrColour { uint8_t(slot), 9, 9 });
        workspace.documents[slot] = std::move(doc);
        workspace.sourceCount = int32_t(slot) + 1;
    }
    bool save()
    {
        platform.saveAnswers.push_back(FileDialogResult { folder.file("mine.tessary.json"), 1 });
        return saveArrangementCommand(workspace, platform);
    }
};

TEST(SaveArrangement, APastedSourceNeverReplacesAPictureOfTheSameArrangement)
{
    SavedSources s;
    // Source 2 is the very file the pasted source 1 would be kept in.
    const std::string loaded = s.folder.file("mine-source1.png");
    writeText(loaded, "the user's picture");
    writeText(s.folder.file("mine-source1-2.png"), "another picture of the user's");
    s.add(0);
    s.add(1, loaded);
    ASSERT_TRUE(s.save());
    EXPECT_TRUE(s.platform.messages.empty()) << "nothing is replaced, so nothing is asked";
    EXPECT_EQ(contents(loaded), "the user's picture");
    EXPECT_EQ(contents(s.folder.file("mine-source1-2.png")), "another picture of the user's");

    std::string error;
    const auto read = readMergeLayout(s.folder.file("mine.tessary.json"), error);
    ASSERT_TRUE(read) << error;
    ASSERT_EQ(read->sources.size(), 2u);
    EXPECT_EQ(read->sources[0].file, s.folder.file("mine-source1-3.png"));
    EXPECT_EQ(read->sources[1].file, loaded);
    EXPECT_TRUE(fs::file_size(read->sources[0].file) > 0);
}

TEST(SaveArrangement, ALinkToAPictureOfTheArrangementCountsAsThatPicture)
{
    SavedSources s;
    const std::string loaded = s.folder.file("elsewhere.png");
    writeText(loaded, "the user's picture");
    fs::create_symlink(loaded, s.folder.file("mine-source1.png"));
    s.add(0);
    s.add(1, loaded);
    ASSERT_TRUE(s.save());
    EXPECT_EQ(contents(loaded), "the user's picture");
    EXPECT_TRUE(fs::is_symlink(s.folder.file("mine-source1.png")));
    EXPECT_TRUE(fs::exists(s.folder.file("mine-source1-2.png")));
}

TEST(SaveArrangement, OtherFilesInTheWayAreReplacedOnlyAfterOneQuestion)
{
    SavedSources s;
    const std::string one = s.folder.file("mine-source1.png"), three = s.folder.file("mine-source3.png");
    writeText(one, "old 1");
    writeText(three, "old 3");
    s.add(0);
    s.add(1, s.folder.file("mine-source2.png")); // an image file source, not written
    writeText(s.folder.file("mine-source2.png"), "picture 2");
    s.add(2);

    const std::string question
        = "These files already exist:\n" + one + "\n" + three + "\nDo you want to replace them?";
    s.platform.expectMessage(question, MessageAnswer::No);
    EXPECT_FALSE(s.save());
    EXPECT_EQ(contents(one), "old 1");
    EXPECT_EQ(contents(three), "old 3");
    EXPECT_FALSE(fs::exists(s.folder.file("mine.tessary.json")));

    s.platform.expectMessage(question, MessageAnswer::Yes);
    EXPECT_TRUE(s.save());
    EXPECT_NE(contents(one), "old 1");
    EXPECT_NE(contents(three), "old 3");
    EXPECT_EQ(contents(s.folder.file("mine-source2.png")), "picture 2");

    // One file in the way is named alone.
    fs::remove(three);
    s.platform.expectMessage(one + " already exists. Do you want to replace it?", MessageAnswer::Yes);
    EXPECT_TRUE(s.save());
}

} // namespace
} // namespace tessary
