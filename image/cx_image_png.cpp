#include "image/cx_codecs.h"
#include "image/cx_image.h"

namespace tessary {

// Placeholder until the codec is written.
bool CxImagePNG::Decode(CxImage& image, CxFile&)
{
    image.SetError("PNG decoding not built yet");
    return false;
}

bool CxImagePNG::Encode(CxImage& image, CxFile&)
{
    image.SetError("PNG encoding not built yet");
    return false;
}

} // namespace tessary
