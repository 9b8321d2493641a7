#include "image/exif_orientation.h"

#include <cstring>

namespace tessary {

namespace {
constexpr uint16_t kOrientationTag = 274;
constexpr uint16_t kTypeShort = 3;
constexpr size_t kEntryBytes = 12;

struct Reader {
    const uint8_t* bytes;
    size_t size;
    bool bigEndian;

    // Callers check `at + 2` / `at + 4` against the size first.
    uint16_t u16(size_t at) const
    {
        const unsigned a = bytes[at], b = bytes[at + 1];
        return uint16_t(bigEndian ? (a << 8) | b : (b << 8) | a);
    }
    uint32_t u32(size_t at) const
    {
        const uint32_t hi = u16(at), lo = u16(at + 2);
        return bigEndian ? (hi << 16) | lo : (lo << 16) | hi;
    }
};
}

uint16_t exifOrientation(const uint8_t* block, size_t size)
{
    if (!block || size < 8)
        return 1;
    Reader r { block, size, false };
    if (block[0] == 'M' && block[1] == 'M')
        r.bigEndian = true;
    else if (block[0] != 'I' || block[1] != 'I')
        return 1;
    if (r.u16(2) != 42)
        return 1;
    const uint32_t directory = r.u32(4);
    if (directory < 8 || directory > size - 2)
        return 1;
    const uint16_t entries = r.u16(directory);
    for (uint32_t i = 0; i < entries; ++i) {
        const size_t entry = size_t(directory) + 2 + size_t(i) * kEntryBytes;
        if (entry + kEntryBytes > size)
            return 1; // the directory runs past the end of the block
        if (r.u16(entry) != kOrientationTag)
            continue;
        // A SHORT of count 1 sits in the first two bytes of the value field.
        if (r.u16(entry + 2) != kTypeShort || r.u32(entry + 4) < 1)
            return 1;
        const uint16_t value = r.u16(entry + 8);
        return value >= 1 && value <= 8 ? value : 1;
    }
    return 1;
}

uint16_t exifPayloadOrientation(const uint8_t* payload, size_t size)
{
    static constexpr uint8_t kHeader[6] = { 'E', 'x', 'i', 'f', 0, 0 };
    if (payload && size >= sizeof kHeader && std::memcmp(payload, kHeader, sizeof kHeader) == 0)
        return exifOrientation(payload + sizeof kHeader, size - sizeof kHeader);
    return exifOrientation(payload, size);
}

} // namespace tessary
