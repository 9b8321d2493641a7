#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace tessary {

// The BITMAPINFOHEADER at the start of every PackedDib, little-endian as stored.
struct BitmapInfoHeader {
    uint32_t biSize = 40;
    int32_t biWidth = 0;
    int32_t biHeight = 0;
    uint16_t biPlanes = 1;
    uint16_t biBitCount = 0;
    uint32_t biCompression = 0;
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
};
static_assert(sizeof(BitmapInfoHeader) == 40, "BITMAPINFOHEADER is 40 bytes");

constexpr int32_t kMaxImageSide = 20000;
constexpr size_t kMaxImageBytes = 200000000;

// Padded length of one stored row: every row is a multiple of 4 bytes
// (16 bits: two bytes per pixel over an even pixel count; 32 bits: never padded).
// Returns 0 for a bit count the program does not handle or a negative width.
uint32_t rowStride(int32_t width, int bitCount);

// The length of a bitmap the program makes at this size and depth: header, a full colour table
// for 1, 4 and 8 bits, rows. 0 for a side out of 0 ... kMaxImageSide, a depth other than 1, 4, 8
// or 24, or more than kMaxImageBytes.
size_t programDibBytes(int32_t width, int32_t height, int bitCount);

// An in-memory device-independent bitmap: header, colour table, then the pixel rows stored
// bottom-up (row 0 is the bottom line of the picture), read as one contiguous block.
//
// The block may be shared copy-on-write: `shareRows` makes a bitmap with a header of its own
// whose rows are those of another, costing no pixel memory. Reading through the const
// interface leaves the sharing alone; the first non-const `data` or `row` on either side gives
// that side a block of its own first, so a change to one never shows in the other.
class PackedDib {
public:
    // A zero-filled block of `size` bytes, or null when memory runs out.
    static std::unique_ptr<PackedDib> allocate(size_t size);
    // A bitmap over `size` bytes someone else keeps (they read as zeros, or hold a bitmap
    // already), or null when memory runs out. Sharing rules apply to the block as to any other.
    static std::unique_ptr<PackedDib> over(std::shared_ptr<uint8_t[]> block, size_t size);
    // A copy of `size` bytes starting at `bytes`, or null when memory runs out.
    static std::unique_ptr<PackedDib> copyOf(const uint8_t* bytes, size_t size);
    // A bitmap with `header` (no colour table) over the rows of `rows`, shared with it. Null when
    // the header does not describe the same rows (size and depth, bottom-up) or memory runs out.
    static std::unique_ptr<PackedDib> shareRows(const PackedDib& rows, const BitmapInfoHeader& header);

    ~PackedDib();
    PackedDib(const PackedDib&) = delete;
    PackedDib& operator=(const PackedDib&) = delete;

    // Writable access gives this bitmap a block of its own first; null when memory runs out
    // for that (the bitmap is unchanged then). `makeOwn` does that step alone and says whether
    // it could.
    uint8_t* data();
    const uint8_t* data() const;
    bool makeOwn();
    // Whether this bitmap reads its rows from a block another bitmap holds as well.
    bool sharesRows() const;
    size_t size() const { return size_; }

    BitmapInfoHeader header() const;
    void setHeader(const BitmapInfoHeader& header);
    int32_t width() const { return header().biWidth; }
    int32_t height() const { return header().biHeight; }
    int bitCount() const { return header().biBitCount; }

    // Entries in the colour table: biClrUsed, or 2^bitCount when that is 0 and the depth is
    // 8 bits or less; 0 for deeper images.
    uint32_t colourTableEntries() const;
    // Offset of the colour table (after the header and, for bit-field images, the three masks).
    size_t colourTableOffset() const;
    // Offset of the first stored row.
    size_t pixelOffset() const;
    uint32_t stride() const { return rowStride(width(), bitCount()); }
    uint8_t* row(int32_t storedRow)
    {
        uint8_t* bytes = data();
        return bytes ? bytes + pixelOffset() + size_t(storedRow) * stride() : nullptr;
    }
    const uint8_t* row(int32_t storedRow) const { return rows() + size_t(storedRow) * stride(); }

    std::unique_ptr<PackedDib> clone() const;
    // A bitmap reading the same block, copy-on-write as above (a copy where this one reads
    // another's rows); null when memory runs out.
    std::unique_ptr<PackedDib> share() const;

private:
    PackedDib(std::shared_ptr<uint8_t[]> block, size_t size);
    const uint8_t* rows() const;
    const uint8_t* headBytes() const { return head_ ? head_.get() : block_.get(); }
    std::shared_ptr<uint8_t[]> ownCopy() const;
    bool join() const;

    // The bytes: the whole bitmap, or (while `head_` is set) only where the rows lie, at `rowsAt_`.
    mutable std::shared_ptr<uint8_t[]> block_;
    size_t size_ = 0;
    // The header and colour table of a bitmap over another's rows.
    mutable std::unique_ptr<uint8_t[]> head_;
    mutable size_t rowsAt_ = 0;
};

} // namespace tessary
