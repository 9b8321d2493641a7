#include "image/pixel_access.h"

#include <algorithm>
#include <cstring>

namespace tessary {

BgrColour currentPixel {};

namespace {
uint32_t paddingOf(const PackedDib& dib, uint64_t usedBytes)
{
    const uint32_t stride = dib.stride();
    return stride > usedBytes ? uint32_t(stride - usedBytes) : 0;
}

size_t tableOffset(const PackedDib& dib)
{
    return dib.header().biSize;
}

// Offset of the rows of a paletted image whose table has `defaultEntries` when biClrUsed is 0.
size_t rowsAfterTable(const PackedDib& dib, uint32_t defaultEntries)
{
    const uint32_t used = dib.header().biClrUsed;
    return tableOffset(dib) + 4 * size_t(used != 0 ? used : defaultEntries);
}

size_t rowsAfterMasks(const PackedDib& dib)
{
    return dib.header().biSize + (dib.header().biCompression == 3 ? 12 : 0);
}

void setFromTable(const uint8_t* table, uint32_t entries, uint32_t index)
{
    if (index >= entries) {
        currentPixel = BgrColour {};
        return;
    }
    const uint8_t* e = table + 4 * size_t(index);
    currentPixel = BgrColour { e[0], e[1], e[2] };
}

uint16_t readLe16(const uint8_t* p)
{
    return uint16_t(p[0] | (p[1] << 8));
}
void writeLe16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v & 0xFF);
    p[1] = uint8_t(v >> 8);
}

// Shift the masked value up together with its mask until the mask's top bit is set; the
// high byte is then the 8-bit component (a 5-bit channel c gives c * 8).
uint8_t channelOf(uint16_t value, uint16_t mask)
{
    if (mask == 0)
        return 0;
    uint32_t v = value & mask;
    uint32_t m = mask;
    while ((m & 0x8000u) == 0) {
        v <<= 1;
        m <<= 1;
    }
    return uint8_t((v >> 8) & 0xFF);
}
}

PixelAccessorBase::PixelAccessorBase(PackedDib& dib, size_t pixelOffset, uint32_t pad)
    : width_(dib.width())
    , height_(dib.height())
    , bits_(dib.data() + pixelOffset)
    , pad_(pad)
    , stride_(dib.stride())
{
}

PixelAccessorBase::~PixelAccessorBase()
{
    if (keepPadding_ || !clearsPadding_ || pad_ == 0)
        return;
    for (int32_t row = 0; row < height_; ++row)
        std::memset(at(row, stride_ - pad_), 0, pad_);
}

// ---- 1 bit: two table entries, whatever biClrUsed says; x = 0 is the top bit of the first byte.
pixelbit1::pixelbit1(PackedDib& dib)
    : PixelAccessorBase(dib, tableOffset(dib) + 8, paddingOf(dib, (uint64_t(dib.width()) + 7) / 8))
{
    const uint8_t* table = dib.data() + tableOffset(dib);
    colours_[0] = BgrColour { table[0], table[1], table[2] };
    colours_[1] = BgrColour { table[4], table[5], table[6] };
}

int pixelbit1::readPixel(int32_t x, int32_t row)
{
    if (!inside(x, row))
        return -1;
    const int bit = (*at(row, size_t(x) / 8) >> (7 - x % 8)) & 1;
    currentPixel = colours_[bit];
    return bit;
}

void pixelbit1::writePixel(int32_t x, int32_t row, const PixelColour& colour)
{
    writeBlackOrWhite(x, row, colour.index == 1 ? 0 : 1);
}

void pixelbit1::writeBlackOrWhite(int32_t x, int32_t row, int flag)
{
    uint8_t* byte = at(row, size_t(x) / 8);
    const uint8_t bit = uint8_t(0x80 >> (x % 8));
    *byte = flag == 0 ? uint8_t(*byte | bit) : uint8_t(*byte & ~bit);
}

// ---- 4 bits: even x is the high nibble.
pixelbit4::pixelbit4(PackedDib& dib)
    : PixelAccessorBase(dib, rowsAfterTable(dib, 16), paddingOf(dib, (uint64_t(dib.width()) + 1) / 2))
    , table_(dib.data() + tableOffset(dib))
    , entries_(dib.header().biClrUsed != 0 ? dib.header().biClrUsed : 16)
{
}

int pixelbit4::readPixel(int32_t x, int32_t row)
{
    if (!inside(x, row))
        return -1;
    const uint8_t byte = *at(row, size_t(x) / 2);
    const int index = (x % 2 == 0) ? (byte >> 4) : (byte & 0x0F);
    setFromTable(table_, entries_, uint32_t(index));
    return index;
}

void pixelbit4::writePixel(int32_t x, int32_t row, const PixelColour& colour)
{
    uint8_t* byte = at(row, size_t(x) / 2);
    const uint8_t nibble = uint8_t(colour.index & 0x0F);
    *byte = (x % 2 == 0) ? uint8_t((*byte & 0x0F) | (nibble << 4)) : uint8_t((*byte & 0xF0) | nibble);
}

void pixelbit4::writeBlackOrWhite(int32_t x, int32_t row, int)
{
    writePixel(x, row, PixelColour {});
}

// ---- 8 bits
pixelbit8::pixelbit8(PackedDib& dib)
    : PixelAccessorBase(dib, rowsAfterTable(dib, 256), paddingOf(dib, uint64_t(dib.width())))
    , table_(dib.data() + tableOffset(dib))
    , entries_(dib.header().biClrUsed != 0 ? dib.header().biClrUsed : 256)
{
}

int pixelbit8::readPixel(int32_t x, int32_t row)
{
    if (!inside(x, row))
        return -1;
    const uint8_t index = *at(row, size_t(x));
    setFromTable(table_, entries_, index);
    return index;
}

void pixelbit8::writePixel(int32_t x, int32_t row, const PixelColour& colour)
{
    *at(row, size_t(x)) = uint8_t(colour.index & 0xFF);
}

void pixelbit8::writeBlackOrWhite(int32_t x, int32_t row, int)
{
    *at(row, size_t(x)) = 0;
}

// ---- 16 bits: 5-5-5 unless bit-field masks follow the header.
pixelbit16::pixelbit16(PackedDib& dib)
    : PixelAccessorBase(dib, rowsAfterMasks(dib), dib.width() % 2 != 0 ? 2 : 0)
    , masks_ { 0x7C00, 0x03E0, 0x001F }
{
    if (dib.header().biCompression == 3) {
        const uint8_t* m = dib.data() + dib.header().biSize;
        for (int i = 0; i < 3; ++i)
            masks_[i] = readLe16(m + 4 * i);
    }
}

int pixelbit16::readPixel(int32_t x, int32_t row)
{
    if (!inside(x, row))
        return -1;
    const uint16_t v = readLe16(at(row, 2 * size_t(x)));
    currentPixel = BgrColour { channelOf(v, masks_[2]), channelOf(v, masks_[1]), channelOf(v, masks_[0]) };
    return 0;
}

void pixelbit16::writePixel(int32_t x, int32_t row, const PixelColour& colour)
{
    const uint16_t v = uint16_t(((colour.red >> 3) << 10) | ((colour.green >> 3) << 5) | (colour.blue >> 3));
    writeLe16(at(row, 2 * size_t(x)), v);
}

void pixelbit16::writeBlackOrWhite(int32_t x, int32_t row, int flag)
{
    writeLe16(at(row, 2 * size_t(x)), flag == 1 ? 0x0000 : 0x7FFF);
}

// ---- 24 bits: blue, green, red
pixelbit24::pixelbit24(PackedDib& dib)
    : PixelAccessorBase(dib, dib.header().biSize, paddingOf(dib, 3 * uint64_t(dib.width())))
{
}

int pixelbit24::readPixel(int32_t x, int32_t row)
{
    if (!inside(x, row))
        return -1;
    const uint8_t* p = at(row, 3 * size_t(x));
    currentPixel = BgrColour { p[0], p[1], p[2] };
    return 0;
}

void pixelbit24::writePixel(int32_t x, int32_t row, const PixelColour& colour)
{
    uint8_t* p = at(row, 3 * size_t(x));
    p[0] = colour.blue;
    p[1] = colour.green;
    p[2] = colour.red;
}

void pixelbit24::writeBlackOrWhite(int32_t x, int32_t row, int flag)
{
    const uint8_t v = flag == 1 ? 0 : 255;
    uint8_t* p = at(row, 3 * size_t(x));
    p[0] = p[1] = p[2] = v;
}

// ---- 32 bits: bytes 0..2 are blue, green, red; byte 3 is never touched. Rows are not padded.
pixelbit32::pixelbit32(PackedDib& dib)
    : PixelAccessorBase(dib, rowsAfterMasks(dib), 0)
{
    clearsPadding_ = false;
}

int pixelbit32::readPixel(int32_t x, int32_t row)
{
    if (!inside(x, row))
        return -1;
    const uint8_t* p = at(row, 4 * size_t(x));
    currentPixel = BgrColour { p[0], p[1], p[2] };
    return 0;
}

void pixelbit32::writePixel(int32_t x, int32_t row, const PixelColour& colour)
{
    uint8_t* p = at(row, 4 * size_t(x));
    p[0] = colour.blue;
    p[1] = colour.green;
    p[2] = colour.red;
}

void pixelbit32::writeBlackOrWhite(int32_t x, int32_t row, int flag)
{
    const uint8_t v = flag == 1 ? 0 : 255;
    uint8_t* p = at(row, 4 * size_t(x));
    p[0] = p[1] = p[2] = v;
}

// ---- owner
namespace {
// The accessors trust the header: only hand one out when the block holds every row.
bool blockHoldsRows(const PackedDib& dib, size_t pixelOffset)
{
    const BitmapInfoHeader h = dib.header();
    if (h.biWidth <= 0 || h.biHeight <= 0 || h.biSize < 40)
        return false;
    const uint64_t need = uint64_t(pixelOffset) + uint64_t(dib.stride()) * uint64_t(h.biHeight);
    return need <= dib.size();
}
}

access_pixel::access_pixel(MaskedDib& image)
{
    if (image.dib) {
        access_pixel other(*image.dib);
        accessor_ = std::move(other.accessor_);
        colourTable_ = other.colourTable_;
    }
}

access_pixel::access_pixel(PackedDib& dib)
{
    const BitmapInfoHeader h = dib.header();
    if (h.biSize < 40 || h.biSize > dib.size())
        return;
    std::unique_ptr<Crw_pixel> accessor;
    size_t offset = 0;
    switch (h.biBitCount) {
    case 1:
        offset = tableOffset(dib) + 8;
        break;
    case 4:
        offset = rowsAfterTable(dib, 16);
        break;
    case 8:
        offset = rowsAfterTable(dib, 256);
        break;
    case 16:
    case 32:
        offset = rowsAfterMasks(dib);
        break;
    case 24:
        offset = h.biSize;
        break;
    default:
        return;
    }
    // Writing through a bitmap that shares its rows separates it first; without the memory for
    // its own rows there is no accessor.
    if (!blockHoldsRows(dib, offset) || !dib.data())
        return;
    switch (h.biBitCount) {
    case 1:
        accessor.reset(new (std::nothrow) pixelbit1(dib));
        break;
    case 4:
        accessor.reset(new (std::nothrow) pixelbit4(dib));
        break;
    case 8:
        accessor.reset(new (std::nothrow) pixelbit8(dib));
        break;
    case 16:
        accessor.reset(new (std::nothrow) pixelbit16(dib));
        break;
    case 24:
        accessor.reset(new (std::nothrow) pixelbit24(dib));
        break;
    case 32:
        accessor.reset(new (std::nothrow) pixelbit32(dib));
        break;
    default:
        break;
    }
    accessor_ = std::move(accessor);
    if (accessor_ && (h.biBitCount == 4 || h.biBitCount == 8))
        colourTable_ = dib.data() + tableOffset(dib);
}

namespace {
// `mask` is null, or one entry per pixel.
// Copies every pixel (and mask row) of `source` into the 24-bit `target` of its size. False when
// no accessor can be made; the accessors are gone when this returns, so the caller may free.
bool copyPixels(const PackedDib& source, const uint16_t* mask, MaskedDib& target)
{
    // Reading never changes the source, so its padding is left as it is.
    access_pixel from(const_cast<PackedDib&>(source));
    access_pixel to(target);
    if (!from || !to)
        return false;
    from->keepPadding();
    const int32_t w = source.width(), h = source.height();
    for (int32_t row = 0; row < h; ++row) {
        for (int32_t x = 0; x < w; ++x) {
            from->readPixel(x, row);
            to->writePixel(x, row, pixelColourOf(currentPixel));
        }
        if (mask) {
            const size_t i = size_t(row) * size_t(w);
            std::copy(mask + i, mask + i + size_t(w), target.maskRow(row));
        }
    }
    return true;
}

bool copyTo24BitWithMask(const PackedDib& source, const uint16_t* mask, MaskedDib& target)
{
    if (allocateMaskedDib(source.height(), source.width(), target, 24))
        return true;
    // Without a mask of its own, or with an opaque one, the copy keeps its opaque fact. The mask
    // comes before any accessor of the target: a failure frees the target's pixels, and an
    // accessor still over them would clear their row padding in freed memory when it goes.
    if (mask && !materialiseMask(target)) {
        releaseMaskedDib(target);
        return true;
    }
    if (!copyPixels(source, mask, target)) {
        releaseMaskedDib(target);
        return true;
    }
    return false;
}
}

bool copyPixelsTo24Bit(const MaskedDib& source, MaskedDib& target)
{
    if (!source.dib)
        return true;
    const bool hasMask
        = source.mask && source.maskCount == uint32_t(source.width()) * uint32_t(source.height());
    // Row spans (a transformed image) are copied from their whole copy; the fact reads as none.
    const uint16_t* mask = hasMask && source.mask.spans() ? source.mask.get() : source.mask.realValues();
    if (hasMask && source.mask.spans() && !mask) {
        target = MaskedDib {};
        return true;
    }
    return copyTo24BitWithMask(*source.dib, hasMask ? mask : nullptr, target);
}

bool copyPixelsTo24Bit(const PackedDib& source, MaskedDib& target)
{
    return copyTo24BitWithMask(source, nullptr, target);
}

} // namespace tessary
