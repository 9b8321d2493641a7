#include "sources/load_image_file.h"

#include "image/bmp_writer.h"
#include "image/cx_image.h"
#include "sources/source_doc.h"
#include "support/codec_image_util.h"
#include "support/gtest_platform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace tessary {
namespace {

using testing::GTestPlatform;
using testing::ScratchFolder;

// An image of `bits` per pixel with a random colour table and random pixels.
MaskedDib randomPicture(int32_t w, int32_t h, int bits, std::mt19937& rng)
{
    MaskedDib image;
    EXPECT_FALSE(allocateMaskedDib(h, w, image, bits));
    uint8_t* table = image.dib->data() + 40;
    const size_t rowsAt = image.dib->pixelOffset();
    for (size_t i = 40; i < rowsAt; ++i)
        table[i - 40] = (i % 4 == 3) ? 0 : uint8_t(rng());
    for (int32_t row = 0; row < h; ++row) {
        uint8_t* p = image.dib->row(row);
        // Only the bits of real pixels: padding stays 0, as every writer leaves it.
        const size_t used = (size_t(w) * size_t(bits) + 7) / 8;
        for (size_t i = 0; i < used; ++i)
            p[i] = uint8_t(rng());
        if ((size_t(w) * size_t(bits)) % 8)
            p[used - 1] &= uint8_t(0xFF << (8 - (size_t(w) * size_t(bits)) % 8));
    }
    return image;
}

TEST(LoadImageFile, KeepsDepthColourTableAndPixelsWithAnOpaqueMask)
{
    ScratchFolder folder;
    std::mt19937 rng(5);
    for (int bits : { 1, 4, 8, 24 }) {
        SCOPED_TRACE(bits);
        const MaskedDib picture = randomPicture(13, 7, bits, rng);
        // The extension is compared without regard to case.
        const std::string path = folder.file("picture" + std::to_string(bits) + ".BmP");
        ASSERT_TRUE(writeBmpFile(*picture.dib, path));

        GTestPlatform platform;
        VIrorozIzi doc;
        doc.sourceKind = kSourceText;
        ASSERT_TRUE(loadImageFile(doc, path, platform));
        EXPECT_EQ(doc.sourceKind, kSourceImageFile);
        EXPECT_EQ(doc.filePath, path);
        EXPECT_EQ(doc.imageWidth, 13);
        EXPECT_EQ(doc.imageHeight, 7);
        ASSERT_EQ(doc.image.dib->bitCount(), bits);
        ASSERT_EQ(doc.image.dib->size(), picture.dib->size());
        // Colour table and rows byte for byte (the header carries the decoder's resolution).
        EXPECT_EQ(
            std::memcmp(doc.image.dib->data() + 40, picture.dib->data() + 40, picture.dib->size() - 40), 0);
        ASSERT_EQ(doc.image.maskCount, 13u * 7u);
        for (uint32_t i = 0; i < doc.image.maskCount; ++i)
            ASSERT_EQ(doc.image.mask[i], 65535) << i;
    }
}

TEST(LoadImageFile, RefusedEndingsAndDecoderFailures)
{
    ScratchFolder folder;
    {
        SCOPED_TRACE("a broken JPEG named .jpeg: the JPEG decoder's text");
        GTestPlatform platform;
        platform.queueAnswer(MessageAnswer::Ok);
        platform.expectMessage("Unable to load this image file");
        VIrorozIzi doc;
        const std::string path = folder.write("photo.jpeg", { 0xFF, 0xD8, 0xFF });
        EXPECT_FALSE(loadImageFile(doc, path, platform));
        EXPECT_EQ(doc.filePath, path);
        EXPECT_TRUE(doc.image.empty());
    }
    {
        SCOPED_TRACE("text in a tga file: the decoder's own text first");
        GTestPlatform platform;
        platform.queueAnswer(MessageAnswer::Ok);
        platform.expectMessage("Unable to load this image file");
        VIrorozIzi doc;
        const std::string text = "this is not a picture, only some words of text\n";
        EXPECT_FALSE(loadImageFile(doc, folder.write("words.tga", { text.begin(), text.end() }), platform));
        ASSERT_EQ(platform.messages.size(), 2u);
        EXPECT_FALSE(platform.messages[0].text.empty());
        EXPECT_NE(platform.messages[0].text, "Unable to load this image file");
        EXPECT_EQ(platform.messages[1].icon, MessageIcon::Error);
    }
    {
        SCOPED_TRACE("path longer than 4095 characters");
        GTestPlatform platform;
        platform.expectMessage("Unable to load this image file");
        VIrorozIzi doc;
        EXPECT_FALSE(loadImageFile(doc, std::string(5000, 'a') + ".xyz", platform));
        EXPECT_EQ(doc.filePath.size(), 4095u);
    }
}

TEST(LoadImageFile, MoreThan20000PixelsASideIsOutOfMemory)
{
    // The BMP decoder accepts 20001 x 1 and the source image refuses it; libpng is not even
    // asked to read a PNG that size. Both read the same to the user.
    struct Case {
        const char* name;
        uint32_t width, height, format;
    } cases[] = {
        { "wide.bmp", 20001, 1, CXIMAGE_FORMAT_BMP },
        { "wide.png", 20001, 1, CXIMAGE_FORMAT_PNG },
        { "tall.png", 2, 30000, CXIMAGE_FORMAT_PNG },
    };
    ScratchFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CxImage picture;
        ASSERT_NE(picture.Create(c.width, c.height, 24, c.format), nullptr);
        const std::string path = folder.file(c.name);
        ASSERT_TRUE(picture.Save(path, c.format)) << picture.GetLastErrorText();

        GTestPlatform platform;
        platform.expectMessage("Tessary has run out of memory.");
        platform.expectMessage("Unable to load this image file");
        VIrorozIzi doc;
        EXPECT_FALSE(loadImageFile(doc, path, platform));
        EXPECT_TRUE(doc.image.empty());
        EXPECT_EQ(platform.messages.at(0).icon, MessageIcon::Error);
    }
}

TEST(LoadImageFile, SixteenBitOrCompressedBitmapsAreRefused)
{
    struct Case {
        uint16_t bits;
        uint32_t compression;
    };
    for (const Case c : { Case { 16, 0 }, Case { 8, 1 }, Case { 24, 3 } }) {
        SCOPED_TRACE(::testing::Message() << c.bits << " bits, compression " << c.compression);
        CxImage decoded;
        ASSERT_NE(decoded.Create(4, 4, 24, CXIMAGE_FORMAT_BMP), nullptr);
        BitmapInfoHeader h;
        std::memcpy(&h, decoded.GetDIB(), sizeof h);
        h.biBitCount = c.bits;
        h.biCompression = c.compression;
        std::memcpy(decoded.GetDIB(), &h, sizeof h);

        GTestPlatform platform;
        platform.expectMessage("Cannot handle this type of image.");
        platform.expectMessage("Unable to load this image file");
        VIrorozIzi doc;
        doc.image = MaskedDib {};
        EXPECT_FALSE(adoptDecodedImage(doc, decoded, platform));
        EXPECT_TRUE(doc.image.empty());
        EXPECT_EQ(platform.messages.at(0).icon, MessageIcon::Error);
    }
}

} // namespace
} // namespace tessary
