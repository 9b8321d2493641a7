#include "image/cx_codecs.h"
#include "image/cx_image.h"

namespace tessary {

// Placeholder until the codec is written.
bool CxImageBMP::Decode(CxImage& image, CxFile&)
{
    image.SetError("BMP decoding not built yet");
    return false;
}

bool CxImageBMP::Encode(CxImage& image, CxFile&)
{
    image.SetError("BMP encoding not built yet");
    return false;
}

} // namespace tessary
