#pragma once
#include "image/colour.h"
#include "image/masked_dib.h"

#include <cstdint>
#include <memory>

namespace tessary {

// The colour of the last pixel read by any accessor. A read that fails its bounds check
// leaves it unchanged. One register for the whole program: consume a read before the next.
extern BgrColour currentPixel;

// The argument of a write: the 16-, 24- and 32-bit accessors use the colour bytes, the 1-, 4-
// and 8-bit accessors only the palette index.
struct PixelColour {
    uint8_t blue = 0;
    uint8_t green = 0;
    uint8_t red = 0;
    int32_t index = 0;
};

inline PixelColour pixelColourOf(const BgrColour& c, int32_t index = 0)
{
    return PixelColour { c.blue, c.green, c.red, index };
}

// Single-pixel access to a PackedDib at a column and a stored row (0 = bottom line). Reading
// leaves the colour in `currentPixel` and returns the palette index (0 for direct colours), or
// -1 outside the image. Writers never check bounds. Unless keepPadding() was called, the
// destructor clears the pad bytes at the end of every row.
class Crw_pixel {
public:
    virtual ~Crw_pixel() = default;
    virtual int readPixel(int32_t /*x*/, int32_t /*row*/) { return 0; }
    virtual void writePixel(int32_t /*x*/, int32_t /*row*/, const PixelColour& /*colour*/) { }
    virtual void writeBlackOrWhite(int32_t /*x*/, int32_t /*row*/, int /*flag*/) { }
    virtual void keepPadding() { }
};

// What every depth caches at construction.
class PixelAccessorBase : public Crw_pixel {
public:
    explicit PixelAccessorBase(PackedDib& dib, size_t pixelOffset, uint32_t pad);
    ~PixelAccessorBase() override;
    void keepPadding() override { keepPadding_ = true; }

protected:
    bool inside(int32_t x, int32_t row) const { return x >= 0 && x < width_ && row >= 0 && row < height_; }
    uint8_t* at(int32_t row, size_t byteInRow) const { return bits_ + size_t(row) * stride_ + byteInRow; }
    int32_t width_;
    int32_t height_;
    uint8_t* bits_;
    uint32_t pad_;
    size_t stride_;
    bool keepPadding_ = false;
    bool clearsPadding_ = true;
};

class pixelbit1 : public PixelAccessorBase {
public:
    explicit pixelbit1(PackedDib& dib);
    int readPixel(int32_t x, int32_t row) override;
    void writePixel(int32_t x, int32_t row, const PixelColour& colour) override;
    void writeBlackOrWhite(int32_t x, int32_t row, int flag) override;

private:
    BgrColour colours_[2];
};

class pixelbit4 : public PixelAccessorBase {
public:
    explicit pixelbit4(PackedDib& dib);
    int readPixel(int32_t x, int32_t row) override;
    void writePixel(int32_t x, int32_t row, const PixelColour& colour) override;
    void writeBlackOrWhite(int32_t x, int32_t row, int flag) override;

private:
    const uint8_t* table_;
    uint32_t entries_;
};

class pixelbit8 : public PixelAccessorBase {
public:
    explicit pixelbit8(PackedDib& dib);
    int readPixel(int32_t x, int32_t row) override;
    void writePixel(int32_t x, int32_t row, const PixelColour& colour) override;
    void writeBlackOrWhite(int32_t x, int32_t row, int flag) override;

private:
    const uint8_t* table_;
    uint32_t entries_;
};

class pixelbit16 : public PixelAccessorBase {
public:
    explicit pixelbit16(PackedDib& dib);
    int readPixel(int32_t x, int32_t row) override;
    void writePixel(int32_t x, int32_t row, const PixelColour& colour) override;
    void writeBlackOrWhite(int32_t x, int32_t row, int flag) override;

private:
    uint16_t masks_[3]; // red, green, blue
};

class pixelbit24 : public PixelAccessorBase {
public:
    explicit pixelbit24(PackedDib& dib);
    int readPixel(int32_t x, int32_t row) override;
    void writePixel(int32_t x, int32_t row, const PixelColour& colour) override;
    void writeBlackOrWhite(int32_t x, int32_t row, int flag) override;
};

class pixelbit32 : public PixelAccessorBase {
public:
    explicit pixelbit32(PackedDib& dib);
    int readPixel(int32_t x, int32_t row) override;
    void writePixel(int32_t x, int32_t row, const PixelColour& colour) override;
    void writeBlackOrWhite(int32_t x, int32_t row, int flag) override;
};

// Owner of the accessor matching an image's depth (none for other depths, an empty image, or a
// bitmap sharing its rows that could not be given its own for lack of memory).
class access_pixel {
public:
    explicit access_pixel(MaskedDib& image);
    explicit access_pixel(PackedDib& dib);
    virtual ~access_pixel() = default;
    access_pixel(const access_pixel&) = delete;
    access_pixel& operator=(const access_pixel&) = delete;

    Crw_pixel* accessor() const { return accessor_.get(); }
    Crw_pixel* operator->() const { return accessor_.get(); }
    explicit operator bool() const { return accessor_ != nullptr; }
    // The colour table of a 4- or 8-bit image, else null.
    const uint8_t* colourTable() const { return colourTable_; }

private:
    std::unique_ptr<Crw_pixel> accessor_;
    const uint8_t* colourTable_ = nullptr;
};

// A new 24-bit copy of `source` (pixels and mask) in `target`. True on failure, when `target`
// is left empty. `copyTo24Bit` (sources/) is the same with its message.
bool copyPixelsTo24Bit(const MaskedDib& source, MaskedDib& target);
// The same from a bare bitmap, whose every pixel counts as opaque.
bool copyPixelsTo24Bit(const PackedDib& source, MaskedDib& target);

} // namespace tessary
