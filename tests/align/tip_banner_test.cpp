#include "align/align_doc.h"
#include "align/tip_banner.h"
#include "image/cx_image.h"
#include "support/gtest_platform.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <jpeglib.h>
#include <unistd.h>

namespace tessary {
namespace {

namespace fs = std::filesystem;
using testing::GTestPlatform;

void writeColourJpeg(const fs::path& path, int32_t w, int32_t h)
{
    CxImage image;
    ASSERT_TRUE(image.Create(uint32_t(w), uint32_t(h), 24, CXIMAGE_FORMAT_JPG));
    for (int32_t row = 0; row < h; ++row) {
        uint8_t* p = image.GetBits(uint32_t(row));
        for (int32_t x = 0; x < w; ++x, p += 3) {
            p[0] = 40;
            p[1] = 160;
            p[2] = 220;
        }
    }
    ASSERT_TRUE(image.Save(path.string(), CXIMAGE_FORMAT_JPG));
}

// A one-channel JPEG: it decodes to 8 bits with a 256-entry grey table.
void writeGreyJpeg(const fs::path& path, int32_t w, int32_t h)
{
    FILE* file = std::fopen(path.string().c_str(), "wb");
    ASSERT_TRUE(file);
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = JDIMENSION(w);
    cinfo.image_height = JDIMENSION(h);
    cinfo.input_components = 1;
    cinfo.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> line(size_t(w), 128);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = line.data();
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::fclose(file);
}

class TipBanner : public ::testing::Test {
protected:
    fs::path root;
    fs::path here;
    fs::path data;
    fs::path previous;
    CAlignDoc doc;
    GTestPlatform platform;

    void SetUp() override
    {
        root = fs::temp_directory_path() / ("tessary_tip_banner_" + std::to_string(::getpid()));
        here = root / "here";
        data = root / "data";
        fs::create_directories(here);
        fs::create_directories(data);
        previous = fs::current_path();
        fs::current_path(here);
    }
    void TearDown() override
    {
        fs::current_path(previous);
        fs::remove_all(root);
    }
};

TEST_F(TipBanner, CurrentFolderFirstThenTheDataFolder)
{
    writeColourJpeg(data / "intro1.jpg", 40, 30);
    EXPECT_FALSE(loadTipBanner(doc, platform, "intro1.jpg", data.string()));
    ASSERT_TRUE(doc.tipBanner);
    EXPECT_EQ(doc.tipBanner->width(), 40);
    EXPECT_EQ(doc.tipBanner->height(), 30);
    EXPECT_EQ(doc.tipBanner->bitCount(), 24);
    EXPECT_GE(doc.tipBanner->size(), size_t(120 * 30 + 54));

    writeColourJpeg(here / "intro1.jpg", 24, 16);
    EXPECT_FALSE(loadTipBanner(doc, platform, "intro1.jpg", data.string()));
    ASSERT_TRUE(doc.tipBanner);
    EXPECT_EQ(doc.tipBanner->width(), 24);
    // The decoded colour survives (JPEG is lossy: near, not equal).
    const uint8_t* p = doc.tipBanner->row(8) + 3 * 12;
    EXPECT_NEAR(p[0], 40, 6);
    EXPECT_NEAR(p[1], 160, 6);
    EXPECT_NEAR(p[2], 220, 6);
}

TEST_F(TipBanner, MissingOrBrokenFilesShowTheMessageAndLeaveNoBanner)
{
    writeColourJpeg(here / "intro2.jpg", 8, 8);
    ASSERT_FALSE(loadTipBanner(doc, platform, "intro2.jpg", ""));
    ASSERT_TRUE(doc.tipBanner);

    platform.expectMessage(kTipBannerFailedText);
    EXPECT_TRUE(loadTipBanner(doc, platform, "intro3.jpg", data.string()));
    EXPECT_FALSE(doc.tipBanner);
    EXPECT_EQ(platform.messages.at(0).icon, MessageIcon::Plain);

    std::ofstream(here / "intro4.jpg") << "not a picture at all";
    platform.expectMessage(kTipBannerFailedText);
    EXPECT_TRUE(loadTipBanner(doc, platform, "intro4.jpg", data.string()));
    EXPECT_FALSE(doc.tipBanner);

    // A broken file in the current folder is not passed over for the data folder's copy.
    writeColourJpeg(data / "intro4.jpg", 8, 8);
    platform.expectMessage(kTipBannerFailedText);
    EXPECT_TRUE(loadTipBanner(doc, platform, "intro4.jpg", data.string()));
}

TEST_F(TipBanner, GreyBannerKeepsItsColourTableWithinTheBlock)
{
    // 2 x 2 grey: 40 + 1024 + 8 bytes decoded, more than 2 x 2 at 24 bits plus 54.
    writeGreyJpeg(here / "intro5.jpg", 2, 2);
    ASSERT_FALSE(loadTipBanner(doc, platform, "intro5.jpg", ""));
    ASSERT_TRUE(doc.tipBanner);
    EXPECT_EQ(doc.tipBanner->bitCount(), 8);
    EXPECT_GE(doc.tipBanner->size(), size_t(40 + 1024 + 8));
    EXPECT_NEAR(doc.tipBanner->row(0)[0], 128, 2);
}

TEST(TipPages, NamesAndPagingStopAtTheEnds)
{
    EXPECT_EQ(tipBannerFileName(0), "intro1.jpg");
    EXPECT_EQ(tipBannerFileName(6), "intro7.jpg");
    EXPECT_EQ(tipPageText(0), "page 1");
    EXPECT_EQ(tipPageText(6), "page 7");
    int32_t page = 0;
    for (int i = 0; i < 6; ++i)
        page = nextTipPage(page);
    EXPECT_EQ(page, 6);
    EXPECT_EQ(nextTipPage(page), 6);
    EXPECT_EQ(previousTipPage(0), 0);
    EXPECT_EQ(previousTipPage(3), 2);
}

} // namespace
} // namespace tessary
