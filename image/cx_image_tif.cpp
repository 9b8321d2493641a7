#include "image/cx_codecs.h"
#include "image/cx_image.h"

namespace tessary {

// Placeholder until the codec is written.
bool CxImageTIF::Decode(CxImage& image, CxFile&)
{
    image.SetError("TIF decoding not built yet");
    return false;
}

bool CxImageTIF::Encode(CxImage& image, CxFile&)
{
    image.SetError("TIF encoding not built yet");
    return false;
}

} // namespace tessary
