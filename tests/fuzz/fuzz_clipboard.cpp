// libFuzzer target for the clipboard block reader: arbitrary bytes give a bitmap or nothing, and
// never a crash or a sanitizer report. A bitmap it gives must be one the pixel accessors read
// whole, since Paste reads every pixel of it into the new source's 24-bit image right after.
#include "image/pixel_access.h"
#include "sources/dib_block.h"

#include <cstddef>
#include <cstdint>
#include <vector>

using namespace tessary;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<uint8_t> block(data, data + size);
    const std::unique_ptr<PackedDib> dib = dibFromBlock(block);
    if (!dib)
        return 0;
    const bool paletted = dib->bitCount() <= 8;
    {
        access_pixel pixels(*dib);
        if (!pixels)
            __builtin_trap();
        pixels->keepPadding();
        for (int32_t row = 0; row < dib->height(); ++row)
            for (int32_t x = 0; x < dib->width(); ++x) {
                const int index = pixels->readPixel(x, row);
                if (paletted ? index < 0 || index >= (1 << dib->bitCount()) : index != 0)
                    __builtin_trap();
            }
    }
    MaskedDib copy;
    if (copyPixelsTo24Bit(*dib, copy) || copy.width() != dib->width() || copy.height() != dib->height())
        __builtin_trap();
    return 0;
}
