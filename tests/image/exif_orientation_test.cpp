#include "image/exif_orientation.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace tessary {
namespace {

// A TIFF-structured block: header, then the first directory at `directory` with the given
// entries (tag, type, count, value), padded out to `size` bytes when that is larger.
struct Entry {
    uint16_t tag, type;
    uint32_t count;
    uint16_t value;
};

std::vector<uint8_t> block(bool bigEndian, uint32_t directory, std::vector<Entry> entries, size_t size = 0,
    uint16_t entryCount = 0xFFFF)
{
    std::vector<uint8_t> b;
    auto u16 = [&](uint16_t v) {
        if (bigEndian)
            b.insert(b.end(), { uint8_t(v >> 8), uint8_t(v) });
        else
            b.insert(b.end(), { uint8_t(v), uint8_t(v >> 8) });
    };
    auto u32 = [&](uint32_t v) {
        if (bigEndian) {
            u16(uint16_t(v >> 16));
            u16(uint16_t(v));
        } else {
            u16(uint16_t(v));
            u16(uint16_t(v >> 16));
        }
    };
    b.insert(b.end(), bigEndian ? std::initializer_list<uint8_t> { 'M', 'M' } : std::initializer_list<uint8_t> { 'I', 'I' });
    u16(42);
    u32(directory);
    b.resize(std::max<size_t>(b.size(), directory), 0);
    u16(entryCount == 0xFFFF ? uint16_t(entries.size()) : entryCount);
    for (const Entry& e : entries) {
        u16(e.tag);
        u16(e.type);
        u32(e.count);
        u16(e.value); // left-justified in the 4-byte value field
        u16(0);
    }
    u32(0);
    if (b.size() < size)
        b.resize(size, 0);
    return b;
}

TEST(ExifOrientation, ReadsTheFirstDirectoryAndFallsBackToOneOnAnythingWrong)
{
    const Entry width { 256, 3, 1, 40 };
    const Entry six { 274, 3, 1, 6 };
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        uint16_t expected;
    };
    std::vector<uint8_t> cut = block(false, 8, { width, six });
    cut.resize(8 + 2 + 12 + 6); // the orientation entry is cut in half
    std::vector<uint8_t> notTiff = block(false, 8, { six });
    notTiff[2] = 43;
    std::vector<uint8_t> headerOnly = block(false, 8, { six });
    headerOnly.resize(8);
    std::vector<uint8_t> mixedOrder = block(false, 8, { six });
    mixedOrder[1] = 'M';
    const Case cases[] = {
        { "little-endian", block(false, 8, { width, six }), 6 },
        { "big-endian", block(true, 8, { width, six }), 6 },
        { "directory further on", block(true, 100, { six }), 6 },
        { "every value", block(false, 8, { { 274, 3, 1, 8 } }), 8 },
        { "no orientation", block(false, 8, { width }), 1 },
        { "orientation 0", block(false, 8, { { 274, 3, 1, 0 } }), 1 },
        { "orientation 9", block(false, 8, { { 274, 3, 1, 9 } }), 1 },
        { "not a SHORT", block(false, 8, { { 274, 4, 1, 6 } }), 1 },
        { "count 0", block(false, 8, { { 274, 3, 0, 6 } }), 1 },
        { "header only", headerOnly, 1 },
        { "directory offset inside the header", block(false, 4, { six }), 1 },
        // Entries inside the block are read even when the count runs past its end.
        { "entry count past the end, orientation inside", block(false, 8, { six }, 0, 60000), 6 },
        { "entry count past the end", block(false, 8, { width }, 0, 60000), 1 },
        { "entry cut short", cut, 1 },
        { "not 42", notTiff, 1 },
        { "mixed byte order mark", mixedOrder, 1 },
        { "empty", {}, 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(exifOrientation(c.bytes.data(), c.bytes.size()), c.expected);
    }
}

TEST(ExifOrientation, DirectoryOffsetPastTheEndOfTheBlock)
{
    std::vector<uint8_t> b = block(false, 8, { { 274, 3, 1, 6 } });
    for (uint32_t offset : { uint32_t(b.size() - 1), uint32_t(b.size()), 0xFFFFFFF0u, 0xFFFFFFFFu }) {
        SCOPED_TRACE(offset);
        b[4] = uint8_t(offset);
        b[5] = uint8_t(offset >> 8);
        b[6] = uint8_t(offset >> 16);
        b[7] = uint8_t(offset >> 24);
        EXPECT_EQ(exifOrientation(b.data(), b.size()), 1);
    }
}

TEST(ExifOrientation, PayloadMayStartWithTheJpegExifHeader)
{
    const std::vector<uint8_t> tiff = block(true, 8, { { 274, 3, 1, 3 } });
    std::vector<uint8_t> payload { 'E', 'x', 'i', 'f', 0, 0 };
    payload.insert(payload.end(), tiff.begin(), tiff.end());
    EXPECT_EQ(exifPayloadOrientation(payload.data(), payload.size()), 3);
    EXPECT_EQ(exifPayloadOrientation(tiff.data(), tiff.size()), 3);
    EXPECT_EQ(exifPayloadOrientation(payload.data(), 6), 1);
}

} // namespace
} // namespace tessary
