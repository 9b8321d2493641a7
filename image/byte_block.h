#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

namespace tessary {

// A zero-filled block of `size` bytes for the codecs, or null when memory runs out: decoders
// report that as their own failure instead of letting an exception leave the codec layer.
inline std::unique_ptr<uint8_t[]> allocateBytes(size_t size)
{
    return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[size]());
}

} // namespace tessary
