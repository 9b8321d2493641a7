// Metadata carried into saved pictures: what is kept, what is made true of the new picture, the
// formats without metadata, and files whose metadata is broken or missing (fixtures: see
// tests/data/metadata/README.md).
#include "output/image_metadata.h"

#include "image/cx_image.h"
#include "merge/merge_fixtures.h"
#include "output/write_image_file.h"
#include "support/codec_image_util.h"
#include "support/read_metadata.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tessary {
namespace {

using testing::readTags;
constexpr auto fixture = testing::metadataFixture;
using testing::ScratchFolder;
using testing::Tags;
namespace fs = std::filesystem;

std::string bytesOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

// Every pixel of a saved file, as its decoder gives it.
std::vector<testing::Rgb> pixelsOf(const std::string& path)
{
    CxImage image;
    EXPECT_TRUE(image.Load(path, *formatFromFileName(path))) << path;
    std::vector<testing::Rgb> pixels;
    for (uint32_t y = 0; y < uint32_t(image.GetHeight()); ++y)
        for (uint32_t x = 0; x < uint32_t(image.GetWidth()); ++x)
            pixels.push_back(testing::colourAt(image, x, y));
    return pixels;
}

const MaskedDib& picture()
{
    static const MaskedDib image = testing::makeImage24(7, 5, [](int32_t x, int32_t row) {
        return BgrColour { uint8_t(30 * x), uint8_t(40 * row), uint8_t(200 - 20 * x) };
    });
    return image;
}

// Saves the picture as plain.<ending> without and as with.<ending> with `metadata`.
struct SavedPair {
    std::string plain, with;
};
SavedPair saveBoth(const ScratchFolder& folder, const std::string& ending, const ImageMetadata& metadata)
{
    const SavedPair saved { folder.file("plain." + ending), folder.file("with." + ending) };
    EXPECT_TRUE(writeImageFile(*picture().dib, saved.plain));
    EXPECT_TRUE(writeImageFile(*picture().dib, saved.with, metadata));
    return saved;
}

TEST(ImageMetadata, KeptInJpegPngAndTiffAndMadeTrueOfThePictureWritten)
{
    const Tags source = readTags(fixture("tagged-a.jpg"));
    ASSERT_EQ(source.at("Exif.Image.Orientation"), "6");
    ASSERT_TRUE(testing::anyTag(source, "Exif.Thumbnail."));
    const ImageMetadata metadata = ImageMetadata::readFrom(fixture("tagged-a.jpg"));
    ASSERT_FALSE(metadata.empty());
    ScratchFolder folder;
    for (const char* ending : { "jpg", "png", "tif" }) {
        SCOPED_TRACE(ending);
        const SavedPair saved = saveBoth(folder, ending, metadata);
        const Tags written = readTags(saved.with);
        for (const char* key : { "Exif.Image.Artist", "Exif.Image.Copyright", "Exif.Photo.DateTimeOriginal",
                 "Exif.GPSInfo.GPSLatitude", "Exif.GPSInfo.GPSLatitudeRef", "Exif.GPSInfo.GPSLongitude",
                 "Exif.Image.Model", "Iptc.Application2.Keywords", "Xmp.dc.creator" })
            EXPECT_EQ(written.count(key) ? written.at(key) : "(missing)", source.at(key)) << key;
        EXPECT_EQ(written.at("Exif.Image.Orientation"), "1");
        EXPECT_EQ(written.at("Exif.Photo.PixelXDimension"), "7");
        EXPECT_EQ(written.at("Exif.Photo.PixelYDimension"), "5");
        EXPECT_EQ(written.at("Exif.Photo.ColorSpace"), "1");
        EXPECT_FALSE(testing::anyTag(written, "Exif.Thumbnail.")) << "the source's thumbnail shows its old picture";
        EXPECT_EQ(written.count("icc"), 0u);
        // The picture is the one saved without metadata.
        EXPECT_EQ(pixelsOf(saved.with), pixelsOf(saved.plain));
    }
}

TEST(ImageMetadata, AnotherColourSpaceAndOrientationAreNotCarriedOver)
{
    const Tags source = readTags(fixture("tagged-b.jpg"));
    ASSERT_EQ(source.at("Exif.Iop.InteroperabilityIndex"), "R03");
    ASSERT_EQ(source.at("Exif.Photo.ColorSpace"), "65535");
    ASSERT_EQ(source.at("Xmp.tiff.Orientation"), "8");
    ScratchFolder folder;
    const std::string out = folder.file("out.jpg");
    ASSERT_TRUE(writeImageFile(*picture().dib, out, ImageMetadata::readFrom(fixture("tagged-b.jpg"))));
    const Tags written = readTags(out);
    EXPECT_EQ(written.at("Exif.Image.Artist"), source.at("Exif.Image.Artist"));
    EXPECT_EQ(written.count("Exif.Iop.InteroperabilityIndex"), 0u);
    EXPECT_EQ(written.at("Exif.Photo.ColorSpace"), "1");
    EXPECT_EQ(written.at("Exif.Image.Orientation"), "1");
    EXPECT_EQ(written.at("Xmp.tiff.Orientation"), "1");
}

TEST(ImageMetadata, FormatsWithoutMetadataAndPicturesWithoutMetadataAreWrittenAsBefore)
{
    const ImageMetadata tagged = ImageMetadata::readFrom(fixture("tagged-a.jpg"));
    ASSERT_FALSE(tagged.empty());
    ScratchFolder folder;
    // BMP, TGA and PCX have no place for metadata: the same bytes as without it.
    for (const char* ending : { "bmp", "tga", "pcx" }) {
        SCOPED_TRACE(ending);
        const SavedPair saved = saveBoth(folder, ending, tagged);
        EXPECT_EQ(bytesOf(saved.with), bytesOf(saved.plain));
    }
    // A picture this program wrote has no metadata to keep, so a file made from it is unchanged.
    const std::string untaggedJpeg = folder.file("plain.jpg");
    ASSERT_TRUE(writeImageFile(*picture().dib, untaggedJpeg));
    const ImageMetadata none = ImageMetadata::readFrom(untaggedJpeg);
    EXPECT_TRUE(none.empty());
    const std::string again = folder.file("again.jpg");
    ASSERT_TRUE(writeImageFile(*picture().dib, again, none));
    EXPECT_EQ(bytesOf(again), bytesOf(untaggedJpeg));
}

TEST(ImageMetadata, BrokenOrUnreadableMetadataIsDroppedAndThePictureStillSaved)
{
    ScratchFolder folder;
    std::ofstream(folder.file("text.jpg")) << "not a picture at all";
    std::ofstream(folder.file("empty.png"));
    fs::create_directory(folder.file("folder.jpg"));
    for (const std::string& path : { folder.file("text.jpg"), folder.file("empty.png"), folder.file("folder.jpg"),
             folder.file("missing.jpg"), std::string() })
        EXPECT_TRUE(ImageMetadata::readFrom(path).empty()) << path;
    // Every format a source can be: those Exiv2 does not know at all (PCX) included.
    for (const char* ending : { "bmp", "tga", "pcx", "jpg", "png", "tif" }) {
        const std::string path = folder.file(std::string("source.") + ending);
        ASSERT_TRUE(writeImageFile(*picture().dib, path));
        EXPECT_TRUE(ImageMetadata::readFrom(path).empty()) << path;
    }

    // broken-exif.jpg has an IFD past the end of its EXIF block (Exiv2 refuses it),
    // broken-ifds.jpg sub-IFD pointers out of bounds (Exiv2 reads around them): either way the
    // picture is saved with its pixels, with what could be read or without metadata.
    EXPECT_TRUE(ImageMetadata::readFrom(fixture("broken-exif.jpg")).empty());
    const ImageMetadata partial = ImageMetadata::readFrom(fixture("broken-ifds.jpg"));
    EXPECT_FALSE(partial.empty());
    for (const char* ending : { "jpg", "png", "tif" }) {
        SCOPED_TRACE(ending);
        const SavedPair saved = saveBoth(folder, ending, partial);
        EXPECT_EQ(pixelsOf(saved.with), pixelsOf(saved.plain));
        const Tags written = readTags(saved.with);
        EXPECT_EQ(written.count("Exif.Image.Artist"), 1u);
        EXPECT_EQ(written.count("Exif.GPSInfo.GPSLatitude"), 0u);
    }

    // Bytes that are no picture take no metadata.
    const ImageMetadata tagged = ImageMetadata::readFrom(fixture("tagged-a.jpg"));
    EXPECT_FALSE(tagged.writtenInto({ 'n', 'o', 'p', 'e' }, 7, 5));
    EXPECT_FALSE(tagged.writtenInto({}, 7, 5));
}

} // namespace
} // namespace tessary
