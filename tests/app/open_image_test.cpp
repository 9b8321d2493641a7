#include "app/open_document.h"
#include "app/open_image.h"
#include "app/recent_files.h"
#include "app/workspace.h"
#include "support/gtest_platform.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

using testing::GTestPlatform;

// Stands in for the source-document layer: a file whose name starts with "bad" does not load;
// any other becomes a source in the next place.
class FileCommands : public ::testing::Test {
protected:
    MergeWorkspace ws;
    GTestPlatform platform;
    RecentFileList recent;
    std::vector<std::string> opened;
    std::vector<int> activated;
    std::vector<int32_t> kindWhenOpened;

    SourceOpening opening {
        [this](const std::string& path) {
            opened.push_back(path);
            kindWhenOpened.push_back(ws.app.pendingSourceKind);
            if (path.find("/bad") != std::string::npos)
                return false;
            addSource(path);
            return true;
        },
        [this](int number) { activated.push_back(number); },
        {},
        {},
        {},
    };

    void addSource(const std::string& path)
    {
        auto doc = std::make_unique<VIrorozIzi>();
        doc->slotIndex = ws.sourceCount;
        doc->filePath = path;
        ws.documents[size_t(ws.sourceCount)] = std::move(doc);
        ++ws.sourceCount;
    }

    void loadSources(int count)
    {
        for (int i = 0; i < count; ++i)
            addSource("/loaded/" + std::to_string(i + 1) + ".bmp");
    }

    void choose(const std::string& path, int filterIndex)
    {
        platform.openAnswers.push_back(FileDialogResult { path, filterIndex });
    }
};

TEST_F(FileCommands, OpenImageAsksForTheNextSourceWithTheFullFilter)
{
    choose("/pictures/holiday/one.jpg", 2);
    EXPECT_EQ(openImage(ws, platform, recent, opening), OpenResult::Created);
    ASSERT_EQ(platform.openRequests.size(), 1u);
    const FileDialogRequest& first = platform.openRequests[0];
    EXPECT_EQ(first.title, "Open Source Window 1");
    EXPECT_EQ(first.filter,
        "Bitmap Files (*.bmp)|*.bmp|Jpeg Files (*.jpg *.jpeg *.jpe *.jfif)|*.jpg;*.jpeg;*.jpe;*.jfif|"
        "Png Files (*.png)|*.png|Tif Files (*.tif *.tiff)|*.tif;*.tiff|"
        "Tga Files (*.tga)|*.tga|Pcx Files (*.pcx)|*.pcx|All Files (*.*)|*.*|"
        "Image Files (*.bmp *.jpg *.jpeg *.jpe *.jfif *.png *.tif *.tiff *.tga *.pcx)|"
        "*.bmp;*.jpg;*.jpeg;*.jpe;*.jfif;*.png;*.tif;*.tiff;*.tga;*.pcx||");
    // A fresh settings store: the chooser's own folder and every picture it reads.
    EXPECT_EQ(first.initialFolder, "");
    EXPECT_EQ(first.filterIndex, 8);
    EXPECT_EQ(opened, (std::vector<std::string> { "/pictures/holiday/one.jpg" }));
    EXPECT_EQ(kindWhenOpened, (std::vector<int32_t> { kSourceImageFile }));
    EXPECT_EQ(recent.entries(), (std::vector<std::string> { "/pictures/holiday/one.jpg" }));
    EXPECT_EQ(platform.textSettings["Recent File List/File1"], "/pictures/holiday/one.jpg");

    // "All Files" is the seventh filter: it is stored and preselected next time, with the folder.
    choose("/other/two.xyz", 7);
    EXPECT_EQ(openImage(ws, platform, recent, opening), OpenResult::Created);
    EXPECT_EQ(platform.intSettings["Configure/Last Open Extension"], 7);
    EXPECT_EQ(platform.textSettings["Configure/Last Open Directory"], "/other/");
    openImage(ws, platform, recent, opening); // cancelled: no answer queued
    ASSERT_EQ(platform.openRequests.size(), 3u);
    EXPECT_EQ(platform.openRequests[1].title, "Open Source Window 2");
    EXPECT_EQ(platform.openRequests[1].initialFolder, "/pictures/holiday/");
    EXPECT_EQ(platform.openRequests[1].filterIndex, 2);
    EXPECT_EQ(platform.openRequests[2].title, "Open Source Window 3");
    EXPECT_EQ(platform.openRequests[2].initialFolder, "/other/");
    EXPECT_EQ(platform.openRequests[2].filterIndex, 7);
}

TEST_F(FileCommands, OpenImageTitleEndsInEightWithSevenAndRefusesTheNinth)
{
    loadSources(7);
    EXPECT_EQ(openImage(ws, platform, recent, opening), OpenResult::Cancelled);
    ASSERT_EQ(platform.openRequests.size(), 1u);
    EXPECT_EQ(platform.openRequests[0].title, "Open Source Window 8");

    loadSources(1);
    platform.expectMessage("No more than 8 images allowed.");
    EXPECT_EQ(openImage(ws, platform, recent, opening), OpenResult::Refused);
    EXPECT_EQ(platform.openRequests.size(), 1u);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].icon, MessageIcon::Error);
    EXPECT_TRUE(opened.empty());
}

TEST_F(FileCommands, WatermarkChoiceHasItsOwnTitle)
{
    ws.hideLoadButtons = 1;
    openImage(ws, platform, recent, opening);
    ASSERT_EQ(platform.openRequests.size(), 1u);
    EXPECT_EQ(platform.openRequests[0].title, "Select watermarking image file");
}

TEST_F(FileCommands, SettingsStayWrittenWhenTheFileDoesNotLoad)
{
    choose("/pics/bad.bmp", 1);
    EXPECT_EQ(openImage(ws, platform, recent, opening), OpenResult::NotCreated);
    EXPECT_EQ(platform.intSettings["Configure/Last Open Extension"], 1);
    EXPECT_EQ(platform.textSettings["Configure/Last Open Directory"], "/pics/");
    EXPECT_TRUE(recent.entries().empty());
    EXPECT_EQ(ws.sourceCount, 0);
}

TEST_F(FileCommands, OpeningTheSameFileTwiceWithOpenImageGivesTwoSources)
{
    choose("/p/same.png", 3);
    choose("/p/same.png", 3);
    openImage(ws, platform, recent, opening);
    openImage(ws, platform, recent, opening);
    EXPECT_EQ(ws.sourceCount, 2);
    EXPECT_EQ(recent.size(), 1);
    EXPECT_TRUE(activated.empty());
}

TEST_F(FileCommands, RecentFileOfALoadedSourceOnlyActivatesItsWindow)
{
    loadSources(3);
    recent.add("/loaded/2.bmp");
    EXPECT_EQ(openRecentFile(ws, platform, recent, opening, 0), OpenResult::Activated);
    EXPECT_EQ(activated, (std::vector<int> { 2 }));
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(ws.sourceCount, 3);
}

TEST_F(FileCommands, RecentFileOpensAndMovesToTheTop)
{
    recent.add("/r/first.bmp");
    recent.add("/r/second.bmp");
    EXPECT_EQ(openRecentFile(ws, platform, recent, opening, 1), OpenResult::Created);
    EXPECT_EQ(opened, (std::vector<std::string> { "/r/first.bmp" }));
    EXPECT_EQ(kindWhenOpened, (std::vector<int32_t> { kSourceImageFile }));
    EXPECT_EQ(recent.entries(), (std::vector<std::string> { "/r/first.bmp", "/r/second.bmp" }));
    EXPECT_EQ(platform.textSettings["Recent File List/File1"], "/r/first.bmp");
}

TEST_F(FileCommands, BrokenRecentFileIsRemovedOnlyOnYes)
{
    recent.add("/r/bad.bmp");
    recent.add("/r/good.bmp");
    platform.expectMessage(
        "There is a problem with this file???\nDo you wish to delete it from the MRU list ?",
        MessageAnswer::No);
    EXPECT_EQ(openRecentFile(ws, platform, recent, opening, 1), OpenResult::NotCreated);
    EXPECT_EQ(recent.size(), 2);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].icon, MessageIcon::Question);
    EXPECT_EQ(platform.messages[0].buttons, MessageButtons::YesNo);

    platform.expectMessage(
        "There is a problem with this file???\nDo you wish to delete it from the MRU list ?",
        MessageAnswer::Yes);
    openRecentFile(ws, platform, recent, opening, 1);
    EXPECT_EQ(recent.entries(), (std::vector<std::string> { "/r/good.bmp" }));
    EXPECT_EQ(platform.textSettings["Recent File List/File1"], "/r/good.bmp");
    EXPECT_EQ(platform.textSettings["Recent File List/File2"], "");
}

TEST_F(FileCommands, RecentFileRefusesANinthSourceWithoutTheMruQuestion)
{
    loadSources(8);
    recent.add("/r/ninth.bmp");
    platform.expectMessage("No more than 8 images allowed.");
    EXPECT_EQ(openRecentFile(ws, platform, recent, opening, 0), OpenResult::Refused);
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(recent.size(), 1);
}

TEST_F(FileCommands, DroppedFilesOpenInOrderAndTheNinthIsRefusedOnce)
{
    loadSources(5);
    platform.expectMessage("No more than 8 images allowed.");
    const auto results = openDroppedFiles(ws, platform, recent, opening,
        { "/d/a.bmp", "/loaded/1.bmp", "/d/bad.png", "/d/b.bmp", "/d/c.bmp", "/d/d.bmp", "/d/e.bmp" });
    EXPECT_EQ(results,
        (std::vector<OpenResult> { OpenResult::Created, OpenResult::Activated, OpenResult::NotCreated,
            OpenResult::Created, OpenResult::Created, OpenResult::Refused }));
    EXPECT_EQ(ws.sourceCount, 8);
    EXPECT_EQ(activated, (std::vector<int> { 1 }));
    EXPECT_EQ(opened, (std::vector<std::string> { "/d/a.bmp", "/d/bad.png", "/d/b.bmp", "/d/c.bmp" }));
    EXPECT_EQ(recent.entries(), (std::vector<std::string> { "/d/c.bmp", "/d/b.bmp", "/d/a.bmp" }));
    EXPECT_EQ(platform.messages.size(), 1u);
}

} // namespace
} // namespace tessary
