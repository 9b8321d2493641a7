// libFuzzer target for one decoder, chosen when it is built (TESSARY_FUZZ_FORMAT): arbitrary bytes
// give a bitmap in the program's layout or a refusal that says why, and never a crash, a hang or
// a sanitizer report. A bitmap that decodes must also come back unchanged through the BMP writer
// and decoder, the road every save takes. Then it goes through what loading does next: its colour
// profile (whatever bytes the file gave) and its orientation, after which the layout must still
// be the program's.
#include "image/colour_profile.h"
#include "image/cx_image.h"
#include "image/upright_image.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

using namespace tessary;

// The decoders refuse images larger than this here. A few bytes of run-length data can fill a
// picture of millions of pixels, and every such input would cost the fuzzer a second; the
// program's own, larger limits are the unit tests' business.
constexpr uint64_t kMaxArea = 256 * 256;

bool hasPackedLayout(const CxImage& image)
{
    BitmapInfoHeader h;
    std::memcpy(&h, image.GetDIB(), sizeof h);
    const int bpp = h.biBitCount;
    const size_t entries = bpp <= 8 ? size_t(1) << bpp : 0;
    return (bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24) && h.biCompression == 0 && h.biWidth > 0
        && h.biHeight > 0 && h.biClrUsed == entries && image.GetNumColors() == entries
        && h.biSizeImage == rowStride(h.biWidth, bpp) * uint32_t(h.biHeight)
        && image.GetSize() == 40 + 4 * entries + h.biSizeImage;
}

bool survivesBmpRoundTrip(CxImage& image)
{
    CxMemFile encoded;
    if (!image.Encode(encoded, CXIMAGE_FORMAT_BMP))
        return false;
    CxImage again(encoded.Buffer().data(), encoded.Buffer().size(), CXIMAGE_FORMAT_BMP);
    BitmapInfoHeader a, b;
    std::memcpy(&a, image.GetDIB(), sizeof a);
    std::memcpy(&b, again.GetDIB(), sizeof b);
    // The resolution goes through pixels per metre and back, so it may be rounded.
    a.biXPelsPerMeter = b.biXPelsPerMeter;
    a.biYPelsPerMeter = b.biYPelsPerMeter;
    return again.IsValid() && again.GetSize() == image.GetSize() && std::memcmp(&a, &b, sizeof a) == 0
        && std::memcmp(again.GetDIB() + 40, image.GetDIB() + 40, image.GetSize() - 40) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CxImage image;
    image.SetMaxArea(kMaxArea);
    if (!image.Decode(data, size, TESSARY_FUZZ_FORMAT)) {
        if (image.IsValid() || image.GetLastErrorText()[0] == '\0')
            __builtin_trap(); // a refusal leaves no bitmap and says why
        return 0;
    }
    if (!hasPackedLayout(image) || !survivesBmpRoundTrip(image))
        __builtin_trap();
    const int orientation = image.GetOrientation();
    if (orientation < 1 || orientation > 8)
        __builtin_trap();
    const UprightSize upright = uprightSize(image.GetWidth(), image.GetHeight(), orientation);
    convertToSrgb(image);
    if (!turnUpright(image) || image.GetWidth() != upright.width || image.GetHeight() != upright.height
        || !hasPackedLayout(image))
        __builtin_trap();
    return 0;
}
