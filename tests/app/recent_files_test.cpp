#include "app/recent_files.h"
#include "support/gtest_platform.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

using testing::GTestPlatform;

TEST(RecentFileList, NewestFirstWithoutDuplicatesAndAtMostSixteen)
{
    RecentFileList list;
    list.add("/a.bmp");
    list.add("/b.bmp");
    list.add("/a.bmp");
    EXPECT_EQ(list.entries(), (std::vector<std::string> { "/a.bmp", "/b.bmp" }));
    for (int i = 0; i < 20; ++i)
        list.add("/f" + std::to_string(i) + ".png");
    ASSERT_EQ(list.size(), 16);
    EXPECT_EQ(list.entries().front(), "/f19.png");
    EXPECT_EQ(list.entries().back(), "/f4.png");
    list.remove(0);
    list.remove(99);
    list.remove(-1);
    EXPECT_EQ(list.size(), 15);
    EXPECT_EQ(list.entries().front(), "/f18.png");
}

TEST(RecentFileList, StoredAsFile1ToFile16AndReadBack)
{
    GTestPlatform platform;
    RecentFileList list;
    list.add("/old.tif");
    list.add("/new.jpg");
    list.write(platform);
    EXPECT_EQ(platform.textSettings["Recent File List/File1"], "/new.jpg");
    EXPECT_EQ(platform.textSettings["Recent File List/File2"], "/old.tif");
    EXPECT_EQ(platform.textSettings["Recent File List/File16"], "");

    // A removed entry leaves no stale value behind.
    list.remove(0);
    list.write(platform);
    EXPECT_EQ(platform.textSettings["Recent File List/File1"], "/old.tif");
    EXPECT_EQ(platform.textSettings["Recent File List/File2"], "");

    // Gaps and repeats in the stored values do not become entries.
    platform.textSettings["Recent File List/File4"] = "/x.png";
    platform.textSettings["Recent File List/File7"] = "/old.tif";
    RecentFileList again;
    again.read(platform);
    EXPECT_EQ(again.entries(), (std::vector<std::string> { "/old.tif", "/x.png" }));
}

TEST(RecentFileList, MenuLabelsAndPrompts)
{
    EXPECT_EQ(recentFileMenuLabel(0, "/p/a.bmp"), "&1 /p/a.bmp");
    EXPECT_EQ(recentFileMenuLabel(9, "/b.bmp"), "1&0 /b.bmp");
    EXPECT_EQ(recentFileMenuLabel(15, "/c.bmp"), "16 /c.bmp");
    EXPECT_EQ(recentFileMenuLabel(1, "/Tom & Jerry.png"), "&2 /Tom && Jerry.png");
    EXPECT_EQ(recentFilePrompt(0), "Open this image #1");
    EXPECT_EQ(recentFilePrompt(15), "Open this image #16");
}

} // namespace
} // namespace tessary
