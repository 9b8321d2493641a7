#include "sources/copy_to_24bit.h"

#include "app/platform.h"
#include "image/pixel_access.h"

namespace tessary {

bool copyTo24Bit(const MaskedDib& source, MaskedDib& target, Platform* platform)
{
    if (!copyPixelsTo24Bit(source, target))
        return false;
    if (platform)
        platform->messageBox(kCopyTo24BitFailedText, MessageIcon::Error, MessageButtons::Ok);
    return true;
}

} // namespace tessary
