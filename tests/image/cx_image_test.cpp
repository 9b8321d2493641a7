#include "image/cx_file.h"
#include "image/cx_image.h"

#include <gtest/gtest.h>

#include <string>

namespace tessary {
namespace {

// Formats the program reads by content at most: saving one fails with the format's own text.
TEST(CxImageEncode, FormatsWithoutAnEncoderSayWhich)
{
    struct Case {
        uint32_t format;
        const char* text;
    };
    const Case cases[] = {
        { CXIMAGE_FORMAT_WMF, "Save WMF not supported" },
        { CXIMAGE_FORMAT_RAW, "Save RAW not supported" },
        { CXIMAGE_FORMAT_GIF, "Save format not supported" },
        { 16, "Save format not supported" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        CxImage image;
        ASSERT_NE(image.Create(4, 3, 24, CXIMAGE_FORMAT_BMP), nullptr);
        CxMemFile out;
        EXPECT_FALSE(image.Encode(out, c.format));
        EXPECT_EQ(std::string(image.GetLastErrorText()), c.text);
    }
}

} // namespace
} // namespace tessary
