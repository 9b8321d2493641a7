// The transparency a picture file stores becomes the source's mask when the source's load
// options ask for it; padding bytes that only look like alpha never do.
#include "sources/load_image_file.h"
#include "sources/source_doc.h"
#include "support/codec_image_util.h"
#include "support/gtest_platform.h"
#include "support/rgba_png.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

using testing::Rgba;
using testing::ScratchFolder;

// A 3 x 2 logo: top row clear, half, opaque; bottom row opaque, clear, nearly clear.
std::vector<uint8_t> logoPng()
{
    return testing::rgbaPng(3, 2,
        { { 255, 0, 0, 0 }, { 0, 255, 0, 128 }, { 0, 0, 255, 255 }, { 9, 9, 9, 255 }, { 1, 2, 3, 0 },
            { 4, 5, 6, 1 } });
}

// A 2 x 1 TGA of 32-bit pixels whose fourth bytes are 0 and 200; `descriptor` counts the alpha bits.
std::vector<uint8_t> tga32(uint8_t descriptor)
{
    return { 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1, 0, 32, descriptor, 10, 20, 30, 0, 40, 50, 60, 200 };
}

bool load(VIrorozIzi& doc, const std::string& path)
{
    testing::GTestPlatform platform;
    return loadImageFile(doc, path, platform);
}

TEST(FileTransparency, PngAlphaBecomesTheMask)
{
    ScratchFolder folder;
    const std::string path = folder.write("logo.png", logoPng());
    VIrorozIzi doc;
    ASSERT_TRUE(load(doc, path));
    ASSERT_EQ(doc.imageWidth, 3);
    // Stored rows run bottom-up: the file's top row is stored row 1.
    const uint16_t* top = std::as_const(doc.image).maskRow(1);
    const uint16_t* bottom = std::as_const(doc.image).maskRow(0);
    EXPECT_EQ(std::vector<uint16_t>(top, top + 3), (std::vector<uint16_t> { 0, 128 * 257, 65535 }));
    EXPECT_EQ(std::vector<uint16_t>(bottom, bottom + 3), (std::vector<uint16_t> { 65535, 0, 257 }));
    // The colours are the file's, whatever their alpha.
    const uint8_t* pixel = std::as_const(*doc.image.dib).row(1);
    EXPECT_EQ(pixel[2], 255);
}

TEST(FileTransparency, SwitchedOffOrWithoutAlphaTheSourceIsOpaque)
{
    ScratchFolder folder;
    VIrorozIzi off;
    off.loadOptions.fileTransparency = false;
    ASSERT_TRUE(load(off, folder.write("logo.png", logoPng())));
    EXPECT_TRUE(off.image.mask.isOpaqueFact());

    // All 255: the mask stays the plain opaque fact.
    VIrorozIzi opaque;
    ASSERT_TRUE(load(opaque, folder.write("opaque.png", testing::rgbaPng(2, 1, { { 1, 2, 3, 255 }, { 4, 5, 6, 255 } }))));
    EXPECT_TRUE(opaque.image.mask.isOpaqueFact());
}

TEST(FileTransparency, OnlyDeclaredAlphaCounts)
{
    ScratchFolder folder;
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        bool transparent;
    } cases[] = {
        { "counted.tga", tga32(8), true },
        { "padding.tga", tga32(0), false },
        // A plain 32-bit bitmap: its fourth bytes (0 and 200) are padding.
        { "plain.bmp",
            { 'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 1, 0, 0, 0, 1, 0, 32, 0, 0, 0,
                0, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 10, 20, 30, 0, 40, 50, 60, 200 },
            false },
    };
    for (const auto& c : cases) {
        VIrorozIzi doc;
        ASSERT_TRUE(load(doc, folder.write(c.name, c.bytes))) << c.name;
        EXPECT_EQ(!doc.image.mask.isOpaqueFact(), c.transparent) << c.name;
        if (c.transparent) {
            const uint16_t* row = std::as_const(doc.image).maskRow(0);
            EXPECT_EQ(row[0], 0) << c.name;
            EXPECT_EQ(row[1], 200 * 257) << c.name;
        }
    }
}

} // namespace
} // namespace tessary
