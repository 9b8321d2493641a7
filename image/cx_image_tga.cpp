#include "image/cx_codecs.h"
#include "image/cx_image.h"

namespace tessary {

// Placeholder until the codec is written.
bool CxImageTGA::Decode(CxImage& image, CxFile&)
{
    image.SetError("TGA decoding not built yet");
    return false;
}

bool CxImageTGA::Encode(CxImage& image, CxFile&)
{
    image.SetError("TGA encoding not built yet");
    return false;
}

} // namespace tessary
