// libFuzzer target for the EXIF reader: any bytes give an orientation of 1 to 8, never a read
// outside them (the sanitizers check every access).
#include "image/exif_orientation.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const uint16_t a = tessary::exifOrientation(data, size);
    const uint16_t b = tessary::exifPayloadOrientation(data, size);
    if (a < 1 || a > 8 || b < 1 || b > 8)
        __builtin_trap();
    return 0;
}
