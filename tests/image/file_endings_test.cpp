// File names and contents: the endings people use open and save in their format, a file whose
// name says nothing is read by its content, and a file none of the decoders reads is described.
#include "image/file_formats.h"
#include "output/write_image_file.h"
#include "sources/load_image_file.h"
#include "sources/source_doc.h"
#include "support/codec_image_util.h"
#include "support/gtest_platform.h"

#include <gtest/gtest.h>

namespace tessary {
namespace {

using testing::ScratchFolder;

// A small picture encoded in `format`.
std::vector<uint8_t> encoded(uint32_t format)
{
    CxImage image;
    testing::fill24(image, 9, 7, testing::smoothColour);
    return testing::encodeToMemory(image, format);
}

TEST(FileEndings, NamesGiveTheirFormat)
{
    const struct {
        const char* name;
        std::optional<uint32_t> format;
    } cases[] = {
        { "photo.jpg", CXIMAGE_FORMAT_JPG },
        { "photo.jpeg", CXIMAGE_FORMAT_JPG },
        { "PHOTO.JPEG", CXIMAGE_FORMAT_JPG },
        { "photo.jpe", CXIMAGE_FORMAT_JPG },
        { "photo.JFIF", CXIMAGE_FORMAT_JPG },
        { "scan.tiff", CXIMAGE_FORMAT_TIF },
        { "SCAN.TIF", CXIMAGE_FORMAT_TIF },
        { "logo.Png", CXIMAGE_FORMAT_PNG },
        { "old.bmp", CXIMAGE_FORMAT_BMP },
        { "a.tga", CXIMAGE_FORMAT_TGA },
        { "a.pcx", CXIMAGE_FORMAT_PCX },
        // The three last characters name a format even without a dot, as they always have.
        { "photojpg", CXIMAGE_FORMAT_JPG },
        { "photo.gif", std::nullopt },
        { "photo.webp", std::nullopt },
        { "photo", std::nullopt },
        { "folder.jpeg/photo", std::nullopt },
        { "photo.xjpeg", std::nullopt },
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatFromFileName(c.name), c.format) << c.name;
}

TEST(FileEndings, FilesOpenByTheirContentWhateverTheirName)
{
    ScratchFolder folder;
    const struct {
        const char* name;
        uint32_t content;
    } cases[] = {
        { "photo.jpeg", CXIMAGE_FORMAT_JPG },
        { "photo.JPE", CXIMAGE_FORMAT_JPG },
        { "photo.jfif", CXIMAGE_FORMAT_JPG },
        { "scan.tiff", CXIMAGE_FORMAT_TIF },
        { "SCAN.TIFF", CXIMAGE_FORMAT_TIF },
        { "png-named.jpg", CXIMAGE_FORMAT_PNG },
        { "no-ending", CXIMAGE_FORMAT_PNG },
        { "odd.picture", CXIMAGE_FORMAT_BMP },
    };
    for (const auto& c : cases) {
        testing::GTestPlatform platform;
        VIrorozIzi doc;
        const std::string path = folder.write(c.name, encoded(c.content));
        EXPECT_TRUE(loadImageFile(doc, path, platform)) << c.name;
        EXPECT_EQ(doc.imageWidth, 9) << c.name;
        EXPECT_EQ(doc.imageHeight, 7) << c.name;
    }
}

TEST(FileEndings, AFileNoDecoderReadsIsDescribed)
{
    ScratchFolder folder;
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* looksLike;
    } cases[] = {
        { "anim.gif", { 'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0 }, "a GIF picture" },
        { "phone.heic", { 0, 0, 0, 24, 'f', 't', 'y', 'p', 'h', 'e', 'i', 'c', 0, 0, 0, 0 }, "a HEIF (HEIC) picture" },
        { "web.webp", { 'R', 'I', 'F', 'F', 30, 0, 0, 0, 'W', 'E', 'B', 'P', 'V', 'P', '8', ' ' }, "a WebP picture" },
        { "notes.txt", { 'h', 'e', 'l', 'l', 'o', '\n', 'w', 'o', 'r', 'l', 'd', '\n' }, "a text file" },
        { "empty.dat", {}, "an empty file" },
    };
    for (const auto& c : cases) {
        testing::GTestPlatform platform;
        const std::string path = folder.write(c.name, c.bytes);
        platform.expectMessage(std::string(c.name) + " is not a BMP, JPEG, PNG, TIFF, TGA or PCX picture: it looks like "
            + c.looksLike + ".");
        platform.expectMessage(kUnableToLoadImageFile);
        VIrorozIzi doc;
        EXPECT_FALSE(loadImageFile(doc, path, platform)) << c.name;
        EXPECT_EQ(doc.image.dib, nullptr);
    }
}

TEST(FileEndings, TheLongerEndingsAreWrittenInTheirFormat)
{
    ScratchFolder folder;
    CxImage image;
    testing::fill24(image, 9, 7, testing::smoothColour);
    const struct {
        const char* name;
        uint32_t format;
    } cases[] = {
        { "out.jpeg", CXIMAGE_FORMAT_JPG },
        { "out.JPE", CXIMAGE_FORMAT_JPG },
        { "out.tiff", CXIMAGE_FORMAT_TIF },
        { "out.Png", CXIMAGE_FORMAT_PNG },
    };
    const std::unique_ptr<PackedDib> dib = PackedDib::copyOf(image.GetDIB(), image.GetSize());
    ASSERT_TRUE(dib);
    for (const auto& c : cases) {
        const std::string path = folder.file(c.name);
        ASSERT_TRUE(writeImageFile(*dib, path)) << c.name;
        CxImage written(path, CXIMAGE_FORMAT_UNKNOWN);
        ASSERT_TRUE(written.IsValid()) << c.name;
        EXPECT_EQ(written.GetType(), c.format) << c.name;
    }
}

} // namespace
} // namespace tessary
