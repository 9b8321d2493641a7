// libFuzzer target: arbitrary bytes through the TIFF decoder must give an image or an error text.
#include "image/cx_image.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    tessary::CxImage image(data, size, tessary::CXIMAGE_FORMAT_TIF);
    if (image.IsValid()) {
        // Touch every decoded byte so a short block shows up under the address sanitizer.
        volatile uint8_t sum = 0;
        const uint8_t* dib = image.GetDIB();
        for (size_t i = 0; i < image.GetSize(); ++i)
            sum = uint8_t(sum + dib[i]);
    }
    return 0;
}
