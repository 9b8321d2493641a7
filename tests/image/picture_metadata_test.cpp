// The orientation and colour profile read from JPEG, PNG and TIFF files, above all from broken
// ones: the picture always loads, without the bad part.
#include "image/cx_file.h"
#include "image/cx_image.h"
#include "sources/picture_as_meant.h"
#include "support/codec_image_util.h"
#include "support/fake_platform.h"

#include <gtest/gtest.h>

#include <lcms2.h>
#include <zlib.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

namespace tessary {
namespace {

using Bytes = std::vector<uint8_t>;
using testing::ScratchFolder;

Bytes fixture(const std::string& name)
{
    return ScratchFolder::read(std::string(TESSARY_IMAGE_FIXTURES) + "/" + name);
}

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes text(const char* s, size_t n)
{
    return Bytes(s, s + n);
}

// A little-endian TIFF header and first directory holding one orientation entry; the
// directory's offset can be set to lie.
Bytes exifBlock(uint16_t orientation, uint32_t directory = 8)
{
    Bytes b { 'I', 'I', 42, 0, uint8_t(directory), uint8_t(directory >> 8), uint8_t(directory >> 16),
        uint8_t(directory >> 24), 1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0, uint8_t(orientation), 0, 0, 0, 0, 0, 0, 0 };
    return b;
}

// ---- JPEG: segments put right after the start-of-image marker of a small JPEG.
Bytes segment(uint8_t marker, const Bytes& payload)
{
    const size_t length = payload.size() + 2;
    return Bytes { 0xFF, marker, uint8_t(length >> 8), uint8_t(length) } + payload;
}

Bytes exifSegment(const Bytes& tiff)
{
    return segment(0xE1, text("Exif\0\0", 6) + tiff);
}

Bytes iccSegment(uint8_t sequence, uint8_t count, const Bytes& piece)
{
    return segment(0xE2, text("ICC_PROFILE\0", 12) + Bytes { sequence, count } + piece);
}

Bytes jpegWith(const Bytes& segments)
{
    const Bytes base = fixture("untagged.jpg");
    return Bytes(base.begin(), base.begin() + 2) + segments + Bytes(base.begin() + 2, base.end());
}

// ---- PNG: chunks put right after IHDR of a small PNG.
Bytes chunk(const char* kind, const Bytes& data)
{
    const size_t n = data.size();
    Bytes c { uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n) };
    c = c + text(kind, 4) + data;
    const uLong crc = crc32(crc32(0, nullptr, 0), c.data() + 4, uInt(c.size() - 4));
    return c + Bytes { uint8_t(crc >> 24), uint8_t(crc >> 16), uint8_t(crc >> 8), uint8_t(crc) };
}

Bytes compressed(const Bytes& data)
{
    uLongf size = compressBound(uLong(data.size()));
    Bytes out(size);
    EXPECT_EQ(compress(out.data(), &size, data.data(), uLong(data.size())), Z_OK);
    out.resize(size);
    return out;
}

Bytes iccpChunk(const Bytes& zlibStream)
{
    return chunk("iCCP", text("icc\0\0", 5) + zlibStream);
}

Bytes pngWith(const Bytes& chunks)
{
    const Bytes base = fixture("untagged.png");
    const size_t afterHeader = 8 + 25;
    return Bytes(base.begin(), base.begin() + afterHeader) + chunks + Bytes(base.begin() + afterHeader, base.end());
}

Bytes greyProfile()
{
    cmsToneCurve* curve = cmsBuildGamma(nullptr, 2.2);
    cmsHPROFILE profile = cmsCreateGrayProfile(cmsD50_xyY(), curve);
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    Bytes bytes(size);
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    cmsFreeToneCurve(curve);
    return bytes;
}

// The TIFF fixture with its orientation value replaced.
Bytes tiffWithOrientation(uint16_t value)
{
    Bytes b = fixture("orient-1.tif");
    const uint8_t entry[] = { 0x12, 0x01, 3, 0, 1, 0, 0, 0 };
    auto at = std::search(b.begin(), b.end(), std::begin(entry), std::end(entry));
    EXPECT_NE(at, b.end());
    if (at != b.end()) {
        at[8] = uint8_t(value);
        at[9] = uint8_t(value >> 8);
    }
    return b;
}

TEST(PictureMetadata, JpegIccPiecesAreJoinedInTheirOrder)
{
    const Bytes profile = fixture("adobe-rgb.icc");
    const Bytes first(profile.begin(), profile.begin() + 300), second(profile.begin() + 300, profile.end());
    const Bytes file = jpegWith(iccSegment(2, 2, second) + exifSegment(exifBlock(6)) + iccSegment(1, 2, first));
    CxImage image;
    ASSERT_TRUE(image.Decode(file.data(), file.size(), CXIMAGE_FORMAT_JPG)) << image.GetLastErrorText();
    EXPECT_EQ(image.GetIccState(), IccState::Kept);
    EXPECT_EQ(image.GetIccProfile(), profile);
    EXPECT_EQ(image.GetOrientation(), 6);
}

// Each broken file still decodes to its whole picture; the bad part is dropped with a note
// (for a profile) or silently (for an orientation, which then means upright).
TEST(PictureMetadata, BrokenOrientationsAndProfilesLeaveThePicture)
{
    const Bytes adobe = fixture("adobe-rgb.icc");
    const Bytes half1(adobe.begin(), adobe.begin() + 300), half2(adobe.begin() + 300, adobe.end());
    Bytes lyingSize = adobe; // the header says 100 MB
    lyingSize[0] = 0x05;
    lyingSize[1] = 0xF5;
    Bytes unknownSpace = adobe; // a colour space no profile has
    unknownSpace[16] = 0xDA;
    unknownSpace[17] = 0x01;
    Bytes hugeExif(100'000'000, 0);
    const Bytes orientation6 = exifBlock(6);
    std::copy(orientation6.begin(), orientation6.end(), hugeExif.begin());
    const Bytes tooLargeWhenInflated = compressed(Bytes(kMaxIccProfileBytes + 100, 7));

    struct Case {
        const char* name;
        Bytes file;
        uint32_t format;
        int orientation;
        IccState state;
        bool note;
        bool converted = false;
    };
    const Case cases[] = {
        { "JPEG orientation 0", jpegWith(exifSegment(exifBlock(0))), CXIMAGE_FORMAT_JPG, 1, IccState::None, false },
        { "JPEG orientation 9", jpegWith(exifSegment(exifBlock(9))), CXIMAGE_FORMAT_JPG, 1, IccState::None, false },
        { "JPEG directory past the end", jpegWith(exifSegment(exifBlock(6, 4000))), CXIMAGE_FORMAT_JPG, 1,
            IccState::None, false },
        { "JPEG EXIF cut after its header", jpegWith(exifSegment(text("II*\0", 4))), CXIMAGE_FORMAT_JPG, 1,
            IccState::None, false },
        { "JPEG second EXIF ignored", jpegWith(exifSegment(exifBlock(3)) + exifSegment(exifBlock(6))),
            CXIMAGE_FORMAT_JPG, 3, IccState::None, false },
        { "JPEG ICC piece missing", jpegWith(iccSegment(1, 2, half1)), CXIMAGE_FORMAT_JPG, 1, IccState::Broken,
            true },
        { "JPEG ICC piece repeated", jpegWith(iccSegment(1, 2, half1) + iccSegment(1, 2, half1) + iccSegment(2, 2, half2)),
            CXIMAGE_FORMAT_JPG, 1, IccState::Broken, true },
        { "JPEG ICC counts disagree", jpegWith(iccSegment(1, 2, half1) + iccSegment(2, 3, half2)), CXIMAGE_FORMAT_JPG,
            1, IccState::Broken, true },
        { "JPEG ICC sequence 0", jpegWith(iccSegment(0, 1, adobe)), CXIMAGE_FORMAT_JPG, 1, IccState::Broken, true },
        { "JPEG ICC sequence past the count", jpegWith(iccSegment(2, 1, adobe)), CXIMAGE_FORMAT_JPG, 1,
            IccState::Broken, true },
        // Little CMS goes by the bytes there are: the profile is whole, and used.
        { "JPEG profile lying about its size", jpegWith(iccSegment(1, 1, lyingSize)), CXIMAGE_FORMAT_JPG, 1,
            IccState::Kept, false, true },
        { "JPEG profile that is not one", jpegWith(iccSegment(1, 1, text("not a profile", 13))), CXIMAGE_FORMAT_JPG, 1,
            IccState::Kept, true },
        { "JPEG profile of an unknown colour space", jpegWith(iccSegment(1, 1, unknownSpace)), CXIMAGE_FORMAT_JPG,
            1, IccState::Kept, true },
        { "JPEG grey profile on colour pixels", jpegWith(iccSegment(1, 1, greyProfile())), CXIMAGE_FORMAT_JPG, 1,
            IccState::Kept, true },
        { "PNG orientation 9", pngWith(chunk("eXIf", exifBlock(9))), CXIMAGE_FORMAT_PNG, 1, IccState::None, false },
        { "PNG directory past the end", pngWith(chunk("eXIf", exifBlock(6, 1u << 30))), CXIMAGE_FORMAT_PNG, 1,
            IccState::None, false },
        { "PNG eXIf of 100 MB", pngWith(chunk("eXIf", hugeExif)), CXIMAGE_FORMAT_PNG, 6, IccState::None, false },
        { "PNG iCCP of 100 MB", pngWith(iccpChunk(Bytes(100'000'000, 1))), CXIMAGE_FORMAT_PNG, 1, IccState::TooLarge,
            true },
        { "PNG iCCP over 4 MiB inflated", pngWith(iccpChunk(tooLargeWhenInflated)), CXIMAGE_FORMAT_PNG, 1,
            IccState::TooLarge, true },
        { "PNG iCCP that does not inflate", pngWith(iccpChunk(text("garbage!", 8))), CXIMAGE_FORMAT_PNG, 1,
            IccState::Broken, true },
        { "PNG iCCP empty", pngWith(chunk("iCCP", {})), CXIMAGE_FORMAT_PNG, 1, IccState::Broken, true },
        { "PNG iCCP without a name", pngWith(chunk("iCCP", compressed(adobe))), CXIMAGE_FORMAT_PNG, 1,
            IccState::Broken, true },
        { "TIFF orientation 0", tiffWithOrientation(0), CXIMAGE_FORMAT_TIF, 1, IccState::None, false },
        { "TIFF orientation 9", tiffWithOrientation(9), CXIMAGE_FORMAT_TIF, 1, IccState::None, false },
    };
    const Bytes untaggedJpeg = fixture("untagged.jpg");
    CxImage plain;
    ASSERT_TRUE(plain.Decode(untaggedJpeg.data(), untaggedJpeg.size(), CXIMAGE_FORMAT_JPG));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto start = std::chrono::steady_clock::now();
        CxImage image;
        ASSERT_TRUE(image.Decode(c.file.data(), c.file.size(), c.format)) << image.GetLastErrorText();
        EXPECT_EQ(image.GetOrientation(), c.orientation);
        EXPECT_EQ(image.GetIccState(), c.state);
        testing::FakePlatform platform;
        ASSERT_TRUE(showPictureAsMeant(image, "broken.file", platform));
        EXPECT_EQ(platform.statusMessages.size(), c.note ? 1u : 0u);
        if (c.note && !platform.statusMessages.empty())
            EXPECT_EQ(platform.statusMessages[0].rfind("broken.file: ", 0), 0u) << platform.statusMessages[0];
        if (c.format == CXIMAGE_FORMAT_JPG && c.orientation == 1 && !c.converted) { // the pixels as if there were no metadata
            ASSERT_EQ(image.GetSize(), plain.GetSize());
            EXPECT_EQ(std::memcmp(image.GetDIB(), plain.GetDIB(), plain.GetSize()), 0);
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    }
}

} // namespace
} // namespace tessary
