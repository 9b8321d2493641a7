#pragma once
#include "image/cx_file.h"

namespace tessary {

class CxImage;

// One decoder/encoder per format. Decode reads from the stream's current position; both
// return true on success and set the image's error text on failure.
#define TESSARY_DECLARE_CODEC(Name)                                                                          \
    class Name {                                                                                             \
    public:                                                                                                  \
        static bool Decode(CxImage& image, CxFile& file);                                                    \
        static bool Encode(CxImage& image, CxFile& file);                                                    \
    };

TESSARY_DECLARE_CODEC(CxImageBMP)
TESSARY_DECLARE_CODEC(CxImageJPG)
TESSARY_DECLARE_CODEC(CxImagePNG)
TESSARY_DECLARE_CODEC(CxImageTIF)
TESSARY_DECLARE_CODEC(CxImageTGA)
TESSARY_DECLARE_CODEC(CxImagePCX)

#undef TESSARY_DECLARE_CODEC

} // namespace tessary
