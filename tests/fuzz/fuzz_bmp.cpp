// libFuzzer target: the bytes are decoded as a BMP file (with or without its file header).
// A bitmap that decodes must keep the PackedDib layout, and writing it as a plain BMP and
// decoding that again must give the same block.
#include "image/cx_image.h"

#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace tessary;
    CxImage image(data, size, CXIMAGE_FORMAT_BMP);
    if (!image.IsValid()) {
        if (image.GetLastErrorText()[0] == '\0')
            __builtin_trap(); // every refusal says why
        return 0;
    }
    BitmapInfoHeader h;
    std::memcpy(&h, image.GetDIB(), sizeof h);
    const size_t expected = 40 + 4 * size_t(image.GetNumColors()) + h.biSizeImage;
    if (image.GetSize() != expected || h.biCompression != 0 || h.biHeight <= 0
        || h.biSizeImage != rowStride(h.biWidth, h.biBitCount) * uint32_t(h.biHeight))
        __builtin_trap();

    if (image.GetSize() > (1u << 20))
        return 0;
    CxMemFile encoded;
    if (!image.Encode(encoded, CXIMAGE_FORMAT_BMP))
        __builtin_trap();
    CxImage again(encoded.Buffer().data(), encoded.Buffer().size(), CXIMAGE_FORMAT_BMP);
    if (!again.IsValid() || again.GetSize() != image.GetSize()
        || std::memcmp(again.GetDIB(), image.GetDIB(), image.GetSize()) != 0)
        __builtin_trap();
    return 0;
}
