#include "image/separable_transform.h"

#include "support/codec_image_util.h"

#include <gtest/gtest.h>

#include <lcms2.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace tessary {
namespace {

// The table path must give what Little CMS computes in floating point, rounded, within one
// step, for every kind of matrix/curve profile the fixtures hold (wide gamut with clipping, a
// black that needs black-point compensation). Little CMS's own 8-bit path is not the reference:
// near the clipped edge of lifted-black it is off by up to 18.
TEST(SeparableTransform, AgreesWithLittleCmsWithinOneStep)
{
    std::mt19937 rng(3);
    std::vector<uint8_t> pixels;
    for (int v = 0; v < 256; ++v) // greys, then the pure channels
        pixels.insert(pixels.end(), { uint8_t(v), uint8_t(v), uint8_t(v) });
    for (int c = 0; c < 3; ++c)
        for (int v = 0; v < 256; ++v) {
            uint8_t p[3] = {};
            p[c] = uint8_t(v);
            pixels.insert(pixels.end(), p, p + 3);
        }
    for (int i = 0; i < 100000; ++i)
        pixels.push_back(uint8_t(rng()));
    pixels.resize(pixels.size() / 3 * 3);
    const size_t count = pixels.size() / 3;

    for (const char* name : { "adobe-rgb.icc", "prophoto-rgb.icc", "lifted-black.icc" }) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> bytes
            = testing::ScratchFolder::read(std::string(TESSARY_IMAGE_FIXTURES) + "/" + name);
        cmsHPROFILE profile = cmsOpenProfileFromMem(bytes.data(), cmsUInt32Number(bytes.size()));
        cmsHPROFILE srgb = cmsCreate_sRGBProfile();
        ASSERT_TRUE(profile && srgb);
        cmsHTRANSFORM reference = cmsCreateTransform(
            profile, TYPE_BGR_8, srgb, TYPE_BGR_DBL, INTENT_PERCEPTUAL, cmsFLAGS_BLACKPOINTCOMPENSATION);
        ASSERT_TRUE(reference);
        std::vector<double> exact(pixels.size());
        cmsDoTransform(reference, pixels.data(), exact.data(), cmsUInt32Number(count));
        cmsDeleteTransform(reference);
        std::vector<uint8_t> expected(pixels.size());
        for (size_t i = 0; i < exact.size(); ++i)
            expected[i] = uint8_t(std::lround(std::clamp(exact[i], 0.0, 1.0) * 255.0));

        SeparableTransform fast;
        ASSERT_TRUE(fast.build(profile, INTENT_PERCEPTUAL, cmsFLAGS_BLACKPOINTCOMPENSATION));
        std::vector<uint8_t> got = pixels;
        fast.apply(got.data(), count);
        int worst = 0;
        size_t worstAt = 0;
        for (size_t i = 0; i < got.size(); ++i)
            if (std::abs(int(got[i]) - int(expected[i])) > worst) {
                worst = std::abs(int(got[i]) - int(expected[i]));
                worstAt = i / 3;
            }
        EXPECT_LE(worst, 1) << "pixel " << worstAt << " (" << int(pixels[3 * worstAt + 2]) << ", "
                            << int(pixels[3 * worstAt + 1]) << ", " << int(pixels[3 * worstAt]) << ")";
        cmsCloseProfile(profile);
        cmsCloseProfile(srgb);
    }
}

} // namespace
} // namespace tessary
