#include "sources/picture_as_meant.h"

#include "image/colour_profile.h"
#include "image/cx_image.h"
#include "sources/load_image_file.h"
#include "sources/source_doc.h"
#include "support/codec_image_util.h"
#include "support/gtest_platform.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace tessary {
namespace {

using testing::colourAt;
using testing::GTestPlatform;
using testing::Rgb;
using testing::ScratchFolder;

std::string fixture(const std::string& name)
{
    return std::string(TESSARY_IMAGE_FIXTURES) + "/" + name;
}

// Decoded and prepared exactly as loading a source does it.
void loadAsMeant(CxImage& image, const std::string& path, Platform& platform)
{
    ASSERT_TRUE(image.Load(path, formatFromFileName(path).value_or(0))) << path << ": " << image.GetLastErrorText();
    ASSERT_TRUE(showPictureAsMeant(image, path, platform));
}

bool near(const Rgb& a, const Rgb& b, int tolerance)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

// ---------------------------------------------------------------- orientation

// The fixtures store red green blue over yellow black white; each is tagged with one
// orientation (made by exiftool, see fixtures/make_fixtures.sh). The upright picture, row by
// row from the top, as the EXIF definitions say it is shown.
TEST(PictureAsMeant, EachOrientationLoadsUpright)
{
    const Rgb R { 255, 0, 0 }, G { 0, 255, 0 }, B { 0, 0, 255 }, Y { 255, 255, 0 }, K { 0, 0, 0 },
        W { 255, 255, 255 };
    struct Case {
        int orientation;
        int columns, rows;
        std::vector<Rgb> upright;
    };
    const Case cases[] = {
        { 1, 3, 2, { R, G, B, Y, K, W } },
        { 2, 3, 2, { B, G, R, W, K, Y } },
        { 3, 3, 2, { W, K, Y, B, G, R } },
        { 4, 3, 2, { Y, K, W, R, G, B } },
        { 5, 2, 3, { R, Y, G, K, B, W } },
        { 6, 2, 3, { Y, R, K, G, W, B } },
        { 7, 2, 3, { W, B, K, G, Y, R } },
        { 8, 2, 3, { B, W, G, K, R, Y } },
    };
    // The JPEGs hold each colour as a 16-pixel square; PNG and TIFF one pixel each.
    struct Format {
        const char* ending;
        int cell;
        int tolerance;
    };
    const Format formats[] = { { "jpg", 16, 12 }, { "png", 1, 0 }, { "tif", 1, 0 } };
    for (const Format& f : formats)
        for (const Case& c : cases) {
            const std::string name = "orient-" + std::to_string(c.orientation) + "." + f.ending;
            SCOPED_TRACE(name);
            GTestPlatform platform;
            CxImage image;
            loadAsMeant(image, fixture(name), platform);
            ASSERT_EQ(image.GetWidth(), c.columns * f.cell);
            ASSERT_EQ(image.GetHeight(), c.rows * f.cell);
            for (int i = 0; i < c.columns * c.rows; ++i) {
                const int x = (i % c.columns) * f.cell + f.cell / 2, y = (i / c.columns) * f.cell + f.cell / 2;
                const Rgb got = colourAt(image, uint32_t(x), uint32_t(y));
                EXPECT_TRUE(near(got, c.upright[size_t(i)], f.tolerance))
                    << "cell " << i << ": " << got << " instead of " << c.upright[size_t(i)];
            }
        }
}

TEST(PictureAsMeant, ASourceGetsTheUprightSizeAndAMaskOfIt)
{
    GTestPlatform platform;
    VIrorozIzi doc;
    ASSERT_TRUE(loadImageFile(doc, fixture("orient-6.jpg"), platform));
    EXPECT_EQ(doc.imageWidth, 32);
    EXPECT_EQ(doc.imageHeight, 48);
    EXPECT_EQ(doc.image.width(), 32);
    EXPECT_EQ(doc.image.height(), 48);
    EXPECT_EQ(doc.image.mask.size(), size_t(32 * 48));
}

// ---------------------------------------------------------------- colour profiles

// Expected sRGB values computed once with Little CMS's transicc, perceptual intent with black
// point compensation (-t0 -b -s), from the pixels the files hold:
//   (200,30,40) (30,200,40) (20,40,200) (128,128,128) (0,0,0) in the PNG and TIFF files, and
//   (200,30,39) (30,200,41) (20,40,199) (128,128,128) (0,0,0) as the JPEG decodes.
// lifted-black's curves start at 3 %: without black-point compensation under relative
// colorimetric intent its black would come out as 48.
TEST(PictureAsMeant, EmbeddedProfilesAreConvertedToSrgb)
{
    struct Case {
        const char* file;
        std::vector<Rgb> expected;
    };
    const Case cases[] = {
        { "adobe.jpg", { { 233, 24, 34 }, { 0, 201, 0 }, { 0, 35, 204 }, { 129, 129, 129 }, { 0, 0, 0 } } },
        { "adobe.tif", { { 233, 24, 36 }, { 0, 201, 0 }, { 0, 35, 205 }, { 129, 129, 129 }, { 0, 0, 0 } } },
        { "prophoto.png", { { 255, 0, 51 }, { 0, 230, 0 }, { 0, 56, 224 }, { 147, 147, 147 }, { 0, 0, 0 } } },
        { "lifted-black.tif", { { 233, 24, 36 }, { 0, 201, 0 }, { 0, 35, 205 }, { 129, 129, 129 }, { 0, 0, 0 } } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        GTestPlatform platform;
        CxImage image;
        loadAsMeant(image, fixture(c.file), platform);
        const int cell = image.GetWidth() / int(c.expected.size());
        for (size_t i = 0; i < c.expected.size(); ++i) {
            const Rgb got = colourAt(image, uint32_t(int(i) * cell + cell / 2), uint32_t(image.GetHeight() / 2));
            EXPECT_TRUE(near(got, c.expected[i], 2)) << "colour " << i << ": " << got << " instead of " << c.expected[i];
        }
        EXPECT_TRUE(platform.statusMessages.empty());
    }
}

// The whole decoded block, header and all.
std::vector<uint8_t> decodedBlock(const std::string& path, bool asMeant)
{
    GTestPlatform platform;
    CxImage image;
    EXPECT_TRUE(image.Load(path, formatFromFileName(path).value_or(0)));
    if (asMeant)
        EXPECT_TRUE(showPictureAsMeant(image, path, platform));
    return std::vector<uint8_t>(image.GetDIB(), image.GetDIB() + image.GetSize());
}

TEST(PictureAsMeant, UntaggedAndSrgbTaggedPicturesAreLeftByteForByte)
{
    const std::vector<uint8_t> untagged = decodedBlock(fixture("untagged.png"), false);
    // srgb-unnamed's profile has Little CMS's sRGB colorants and curves under another name.
    for (const char* name : { "untagged.png", "srgb-unnamed.png" }) {
        SCOPED_TRACE(name);
        EXPECT_EQ(decodedBlock(fixture(name), true), untagged);
    }
    EXPECT_EQ(decodedBlock(fixture("untagged.jpg"), true), decodedBlock(fixture("untagged.jpg"), false));

    // An sRGB-to-sRGB conversion could give the same bytes by luck: the profile must have been
    // recognised, not converted through.
    CxImage image;
    ASSERT_TRUE(image.Load(fixture("srgb-unnamed.png"), CXIMAGE_FORMAT_PNG));
    ASSERT_EQ(image.GetIccState(), IccState::Kept);
    EXPECT_EQ(convertToSrgb(image).outcome, ProfileOutcome::Srgb);
}

// A picture large enough to be converted on two threads: every row, the middle ones included.
TEST(PictureAsMeant, ALargePictureIsConvertedInEveryRow)
{
    const std::vector<uint8_t> adobe = ScratchFolder::read(fixture("adobe-rgb.icc"));
    CxImage image;
    testing::fill24(image, 1000, 1201, [](uint32_t x, uint32_t) { return x % 2 ? Rgb { 200, 30, 40 } : Rgb { 128, 128, 128 }; });
    image.SetIccProfile(adobe.data(), adobe.size());
    EXPECT_EQ(convertToSrgb(image).outcome, ProfileOutcome::Converted);
    for (uint32_t y = 0; y < 1201; ++y) {
        ASSERT_TRUE(near(colourAt(image, 1, y), { 233, 24, 36 }, 2)) << y << ": " << colourAt(image, 1, y);
        ASSERT_TRUE(near(colourAt(image, 998, y), { 129, 129, 129 }, 2)) << y << ": " << colourAt(image, 998, y);
    }
}

TEST(PictureAsMeant, PaletteEntriesAreConverted)
{
    const std::vector<uint8_t> adobe = ScratchFolder::read(fixture("adobe-rgb.icc"));
    CxImage image;
    ASSERT_NE(image.Create(2, 1, 8, CXIMAGE_FORMAT_PNG), nullptr);
    image.SetPaletteColor(0, 200, 30, 40);
    image.SetPaletteColor(1, 128, 128, 128);
    image.GetBits(0)[1] = 1;
    image.SetIccProfile(adobe.data(), adobe.size());
    EXPECT_EQ(convertToSrgb(image).outcome, ProfileOutcome::Converted);
    EXPECT_TRUE(near(colourAt(image, 0, 0), { 233, 24, 36 }, 2)) << colourAt(image, 0, 0);
    EXPECT_TRUE(near(colourAt(image, 1, 0), { 129, 129, 129 }, 2)) << colourAt(image, 1, 0);
    EXPECT_EQ(image.GetBits(0)[1], 1); // the pixels keep their indices
}

} // namespace
} // namespace tessary
