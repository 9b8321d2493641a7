#include "image/separable_transform.h"

#include <algorithm>
#include <cmath>
#include <new>

#include <lcms2.h>

namespace tessary {

namespace {
// sRGB primaries and white, with straight (gamma 1) curves: the linear light the shares are
// measured in.
cmsHPROFILE linearSrgb()
{
    const cmsCIExyY d65 = { 0.3127, 0.3290, 1.0 };
    const cmsCIExyYTRIPLE primaries = { { 0.6400, 0.3300, 1.0 }, { 0.3000, 0.6000, 1.0 }, { 0.1500, 0.0600, 1.0 } };
    cmsToneCurve* straight = cmsBuildGamma(nullptr, 1.0);
    if (!straight)
        return nullptr;
    cmsToneCurve* curves[3] = { straight, straight, straight };
    cmsHPROFILE profile = cmsCreateRGBProfile(&d65, &primaries, curves);
    cmsFreeToneCurve(straight);
    return profile;
}

// The sRGB curve, linear light to encoded value.
double encodeSrgb(double linear)
{
    return linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055;
}
}

bool SeparableTransform::build(void* profile, uint32_t intent, uint32_t flags)
{
    if (!cmsIsMatrixShaper(profile) || cmsIsCLUT(profile, intent, LCMS_USED_AS_INPUT))
        return false;
    cmsHPROFILE linear = linearSrgb();
    if (!linear)
        return false;
    cmsHTRANSFORM transform = cmsCreateTransform(profile, TYPE_RGB_8, linear, TYPE_RGB_DBL, intent, flags);
    cmsCloseProfile(linear);
    if (!transform)
        return false;
    // Every channel alone at every value, with the others at 0, and black.
    uint8_t in[3 * 256 * 3 + 3] = {};
    for (int c = 0; c < 3; ++c)
        for (int v = 0; v < 256; ++v)
            in[3 * (256 * c + v) + c] = uint8_t(v);
    double out[3 * 256 * 3 + 3];
    cmsDoTransform(transform, in, out, 3 * 256 + 1);
    cmsDeleteTransform(transform);

    const double scale = double(1 << kEncodeBits);
    const double* black = out + 3 * 3 * 256;
    for (int c = 0; c < 3; ++c)
        for (int v = 0; v < 256; ++v)
            for (int k = 0; k < 3; ++k) {
                // The linear result is black plus each channel's change from black.
                double share = out[3 * (256 * c + v) + k] - black[k];
                if (c == 0)
                    share += black[k];
                share_[c][v].lane[k] = int32_t(std::lround(share * scale));
            }
    encode_.reset(new (std::nothrow) uint8_t[(1 << kEncodeBits) + 1]);
    if (!encode_)
        return false;
    for (int i = 0; i <= (1 << kEncodeBits); ++i)
        encode_[i] = uint8_t(std::lround(255.0 * encodeSrgb(double(i) / scale)));
    return true;
}

void SeparableTransform::apply(uint8_t* bgr, size_t count) const
{
    const int32_t top = 1 << kEncodeBits;
    const uint8_t* encode = encode_.get();
    for (size_t i = 0; i < count; ++i, bgr += 3) {
        const Share& r = share_[0][bgr[2]];
        const Share& g = share_[1][bgr[1]];
        const Share& b = share_[2][bgr[0]];
        int32_t sum[4];
        for (int k = 0; k < 4; ++k) // one vector addition and clamp
            sum[k] = std::min(std::max(r.lane[k] + g.lane[k] + b.lane[k], 0), top);
        bgr[0] = encode[sum[2]];
        bgr[1] = encode[sum[1]];
        bgr[2] = encode[sum[0]];
    }
}

} // namespace tessary
