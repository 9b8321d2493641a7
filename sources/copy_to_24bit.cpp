#include "sources/copy_to_24bit.h"

#include "app/platform.h"
#include "image/pixel_access.h"

namespace tessary {

namespace {
bool reported(bool failed, Platform* platform)
{
    if (failed && platform)
        platform->messageBox(kCopyTo24BitFailedText, MessageIcon::Error, MessageButtons::Ok);
    return failed;
}
}

bool copyTo24Bit(const MaskedDib& source, MaskedDib& target, Platform* platform)
{
    return reported(copyPixelsTo24Bit(source, target), platform);
}

bool copyTo24Bit(const PackedDib& source, MaskedDib& target, Platform* platform)
{
    return reported(copyPixelsTo24Bit(source, target), platform);
}

} // namespace tessary
