#include "image/cx_codecs.h"
#include "image/cx_image.h"

namespace tessary {

// Placeholder until the codec is written.
bool CxImagePCX::Decode(CxImage& image, CxFile&)
{
    image.SetError("PCX decoding not built yet");
    return false;
}

bool CxImagePCX::Encode(CxImage& image, CxFile&)
{
    image.SetError("PCX encoding not built yet");
    return false;
}

} // namespace tessary
