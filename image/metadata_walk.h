#pragma once
#include "image/cx_file.h"
#include "image/cx_image.h"

#include <new>

namespace tessary {

// Runs `walk(file, image)` over a stream from its current position, for the readers of
// orientation and profile that go before a decoder, and puts the stream back where it was for
// the decoder. Running out of memory in the walk drops the profile; the picture is not at stake.
template <class Walk> void walkThenRewind(CxFile& file, CxImage& image, Walk walk)
{
    const int64_t start = file.Tell();
    if (start < 0)
        return;
    try {
        walk(file, image);
    } catch (const std::bad_alloc&) {
        image.SetIccBroken();
    }
    file.Seek(start, SEEK_SET);
}

} // namespace tessary
