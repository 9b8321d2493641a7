#include "image/cx_codecs.h"
#include "image/cx_image.h"

namespace tessary {

// Placeholder until the codec is written.
bool CxImageJPG::Decode(CxImage& image, CxFile&)
{
    image.SetError("JPG decoding not built yet");
    return false;
}

bool CxImageJPG::Encode(CxImage& image, CxFile&)
{
    image.SetError("JPG encoding not built yet");
    return false;
}

} // namespace tessary
