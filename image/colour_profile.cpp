#include "image/colour_profile.h"

#include "image/cx_image.h"
#include "image/separable_transform.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

#include <lcms2.h>

namespace tessary {

namespace {
constexpr double kColorantTolerance = 0.002;
constexpr double kCurveTolerance = 0.5 / 255.0;

// Little CMS reports problems through a process-wide handler; ours says nothing, as the result
// of each call tells us all we need.
void quietLog(cmsContext, cmsUInt32Number, const char*) { }

struct ProfileCloser {
    void operator()(void* p) const { cmsCloseProfile(p); }
};
using Profile = std::unique_ptr<void, ProfileCloser>;
struct TransformCloser {
    void operator()(void* t) const { cmsDeleteTransform(t); }
};
using Transform = std::unique_ptr<void, TransformCloser>;

bool describedAsSrgb(cmsHPROFILE profile)
{
    char text[64] = {};
    cmsGetProfileInfoASCII(profile, cmsInfoDescription, "en", "US", text, sizeof text);
    return std::strncmp(text, "sRGB", 4) == 0;
}

bool sameColorant(cmsHPROFILE a, cmsHPROFILE b, cmsTagSignature tag)
{
    const auto* x = static_cast<const cmsCIEXYZ*>(cmsReadTag(a, tag));
    const auto* y = static_cast<const cmsCIEXYZ*>(cmsReadTag(b, tag));
    return x && y && std::fabs(x->X - y->X) <= kColorantTolerance && std::fabs(x->Y - y->Y) <= kColorantTolerance
        && std::fabs(x->Z - y->Z) <= kColorantTolerance;
}

bool sameCurve(cmsHPROFILE a, cmsHPROFILE b, cmsTagSignature tag)
{
    const auto* x = static_cast<const cmsToneCurve*>(cmsReadTag(a, tag));
    const auto* y = static_cast<const cmsToneCurve*>(cmsReadTag(b, tag));
    if (!x || !y)
        return false;
    for (int i = 0; i <= 255; ++i) {
        const float v = float(i) / 255.0f;
        if (std::fabs(cmsEvalToneCurveFloat(x, v) - cmsEvalToneCurveFloat(y, v)) > kCurveTolerance)
            return false;
    }
    return true;
}

bool isSrgb(cmsHPROFILE profile, cmsHPROFILE srgb)
{
    if (describedAsSrgb(profile))
        return true;
    if (!cmsIsMatrixShaper(profile))
        return false;
    return sameColorant(profile, srgb, cmsSigRedColorantTag) && sameColorant(profile, srgb, cmsSigGreenColorantTag)
        && sameColorant(profile, srgb, cmsSigBlueColorantTag) && sameCurve(profile, srgb, cmsSigRedTRCTag)
        && sameCurve(profile, srgb, cmsSigGreenTRCTag) && sameCurve(profile, srgb, cmsSigBlueTRCTag);
}

constexpr cmsUInt32Number kIntent = INTENT_PERCEPTUAL;
constexpr cmsUInt32Number kFlags = cmsFLAGS_BLACKPOINTCOMPENSATION;

Transform toSrgb(cmsHPROFILE profile, cmsHPROFILE srgb, cmsUInt32Number inputFormat)
{
    return Transform(cmsCreateTransform(profile, inputFormat, srgb, TYPE_BGR_8, kIntent, kFlags));
}

// Stored rows [from, to) of rows `stride` bytes apart from `first` through
// `convert(row, width)`.
template <class Convert>
void convertRows(uint8_t* first, size_t stride, uint32_t width, int32_t from, int32_t to, const Convert& convert)
{
    for (int32_t y = from; y < to; ++y)
        convert(first + size_t(y) * stride, width);
}

// Every stored row, the upper half on a second thread for a large picture (`convert` must allow
// that); on one thread when none can be started.
template <class Convert> void convertAllRows(CxImage& image, bool twoThreads, const Convert& convert)
{
    constexpr int64_t kWorthASecondThread = 1'000'000;
    const int32_t height = image.GetHeight(), middle = height / 2;
    const uint32_t width = uint32_t(image.GetWidth());
    uint8_t* first = image.GetBits(0); // the image's own block, taken once before any thread
    const size_t stride = image.GetEffWidth();
    if (twoThreads && int64_t(width) * height >= kWorthASecondThread && std::thread::hardware_concurrency() > 1) {
        try {
            std::thread helper([&] { convertRows(first, stride, width, middle, height, convert); });
            convertRows(first, stride, width, 0, middle, convert);
            helper.join();
            return;
        } catch (const std::system_error&) {
            // No thread: nothing was converted yet.
        }
    }
    convertRows(first, stride, width, 0, height, convert);
}

bool greyTable(CxImage& image)
{
    const uint8_t* table = image.GetPalette();
    for (uint32_t i = 0; table && i < image.GetNumColors(); ++i)
        if (table[4 * i] != table[4 * i + 1] || table[4 * i] != table[4 * i + 2])
            return false;
    return table != nullptr;
}

// The colour table's entries through the transform; a grey transform reads one byte a colour.
void convertTable(CxImage& image, cmsHTRANSFORM transform, bool grey)
{
    uint8_t* table = image.GetPalette();
    const uint32_t entries = image.GetNumColors();
    uint8_t in[256 * 3], out[256 * 3];
    for (uint32_t i = 0; i < entries; ++i) {
        if (grey)
            in[i] = table[4 * i];
        else
            std::memcpy(in + 3 * i, table + 4 * i, 3);
    }
    cmsDoTransform(transform, in, out, entries);
    for (uint32_t i = 0; i < entries; ++i)
        std::memcpy(table + 4 * i, out + 3 * i, 3);
}

ProfileResult ignored(const char* why)
{
    return { ProfileOutcome::Ignored, why };
}

ProfileResult convert(CxImage& image)
{
    const std::vector<uint8_t>& bytes = image.GetIccProfile();
    const Profile profile(cmsOpenProfileFromMem(bytes.data(), cmsUInt32Number(bytes.size())));
    const Profile srgb(cmsCreate_sRGBProfile());
    if (!profile || bytes.size() < 128) // Little CMS refuses anything shorter than a header
        return ignored("The picture's colour profile is damaged and was ignored.");
    if (!srgb)
        return ignored("There was no memory to convert the picture's colour profile.");
    // The colour space as the header spells it: a file may hold any four bytes there, which
    // Little CMS hands back as an enumeration that has no such value.
    const uint32_t space = uint32_t(bytes[16]) << 24 | uint32_t(bytes[17]) << 16 | uint32_t(bytes[18]) << 8 | bytes[19];
    const bool table = image.GetBpp() <= 8;
    const bool grey = space == uint32_t(cmsSigGrayData) && table && greyTable(image);
    if (space != uint32_t(cmsSigRgbData) && !grey)
        return ignored("The picture's colour profile is not an RGB profile and was ignored.");
    if (!grey && isSrgb(profile.get(), srgb.get()))
        return { ProfileOutcome::Srgb, {} };
    // The usual camera and editing profiles (Adobe RGB, ProPhoto, Display P3) are matrix/curve
    // profiles: their pixels go through tables, several times faster than the general path.
    if (!table) {
        const auto fast = std::make_unique<SeparableTransform>();
        if (fast->build(profile.get(), kIntent, kFlags)) {
            convertAllRows(image, true, [&](uint8_t* row, uint32_t width) { fast->apply(row, width); });
            return { ProfileOutcome::Converted, {} };
        }
    }
    const Transform transform = toSrgb(profile.get(), srgb.get(), grey ? TYPE_GRAY_8 : TYPE_BGR_8);
    if (!transform)
        return ignored("The picture's colour profile could not be used and was ignored.");
    if (table) {
        convertTable(image, transform.get(), grey);
    } else {
        // Little CMS's transform keeps a cache of the last pixel: one thread only.
        convertAllRows(
            image, false, [&](uint8_t* row, uint32_t width) { cmsDoTransform(transform.get(), row, row, width); });
    }
    return { ProfileOutcome::Converted, {} };
}
}

ProfileResult convertToSrgb(CxImage& image)
{
    static std::once_flag quiet;
    std::call_once(quiet, [] { cmsSetLogErrorHandler(quietLog); });
    ProfileResult result;
    try {
        switch (image.GetIccState()) {
        case IccState::None:
            break;
        case IccState::TooLarge:
            result = ignored("The picture's colour profile is larger than 4 MiB and was ignored.");
            break;
        case IccState::Broken:
            result = ignored("The picture's colour profile is damaged and was ignored.");
            break;
        case IccState::Kept:
            if (image.IsValid())
                result = convert(image);
            break;
        }
    } catch (const std::bad_alloc&) {
        result = { ProfileOutcome::Ignored, {} };
    }
    image.ForgetIccProfile();
    return result;
}

} // namespace tessary
