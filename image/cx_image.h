#pragma once
#include "image/cx_file.h"
#include "image/file_formats.h"
#include "image/packed_dib.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tessary {

// Format codes carried by every CxImage. 0 asks the decoder to detect the format by content.
enum ImageFormat : uint32_t {
    CXIMAGE_FORMAT_UNKNOWN = 0,
    CXIMAGE_FORMAT_BMP = 1,
    CXIMAGE_FORMAT_GIF = 2,
    CXIMAGE_FORMAT_JPG = 3,
    CXIMAGE_FORMAT_PNG = 4,
    CXIMAGE_FORMAT_ICO = 5,
    CXIMAGE_FORMAT_TIF = 6,
    CXIMAGE_FORMAT_TGA = 7,
    CXIMAGE_FORMAT_PCX = 8,
    CXIMAGE_FORMAT_WBMP = 9,
    CXIMAGE_FORMAT_WMF = 10,
    CXIMAGE_FORMAT_RAW = 19,
};

// Pixel data of one image may not reach 2^31 + 8 bits (about 256 MiB).
constexpr uint64_t kCxImageMaxBits = (uint64_t(1) << 31) + 8;

// The error text of an allocation that failed inside the codec layer.
inline constexpr const char* kCxNoMemory = "CxImage::Create can't allocate memory";
// The program's message for an image it has no room for. A PNG decoder refusing a side over
// the program's limit gives it as its error text, so such a file reads like any other image
// too large to load.
inline constexpr const char* kRunOutOfMemory = "Tessary has run out of memory.";

// An embedded colour profile larger than this is not kept: no real profile comes near it.
constexpr size_t kMaxIccProfileBytes = size_t(4) * 1024 * 1024;

// What became of the colour profile a file carries.
enum class IccState {
    None, // the file has none
    Kept, // its bytes are in the image
    TooLarge, // over kMaxIccProfileBytes: dropped
    Broken, // its container was inconsistent (JPEG pieces missing or repeated): dropped
};

// An image decoded from a file or memory, or about to be encoded. Holds a device-independent
// bitmap of 1, 4, 8 or 24 bits (the PackedDib layout), its resolution, an optional alpha
// channel (which the program never uses) and the last error text.
//
// Decoders and encoders are the classes CxImageBMP, CxImageJPG, CxImagePNG, CxImageTIF,
// CxImageTGA and CxImagePCX: each has static Decode(CxImage&, CxFile&) and
// Encode(CxImage&, CxFile&) returning true on success; on failure they call SetError and
// return false, and a failed Decode leaves no DIB. No exception leaves a CxImage: running out
// of memory anywhere in it is a failure with an error text like any other.
class CxImage {
public:
    explicit CxImage(uint32_t imageType = CXIMAGE_FORMAT_UNKNOWN);
    // Load: decode the file with the hinted format, then by content (see Load).
    CxImage(const std::string& path, uint32_t imageType);
    // Decode a block held in memory.
    CxImage(const uint8_t* buffer, size_t size, uint32_t imageType);

    bool Load(const std::string& path, uint32_t imageType);
    bool Decode(CxFile& file, uint32_t imageType);
    bool Decode(const uint8_t* buffer, size_t size, uint32_t imageType);

    // Writes the image to `path` in the format: encoded into a temporary file beside it and
    // renamed over the path only when encoding succeeded, so an existing file survives a
    // failed save. True on success.
    bool Save(const std::string& path, uint32_t imageType);
    bool Encode(CxFile& file, uint32_t imageType);

    bool IsValid() const { return dib_ != nullptr; }
    int32_t GetWidth() const { return dib_ ? dib_->width() : 0; }
    int32_t GetHeight() const { return dib_ ? dib_->height() : 0; }
    uint16_t GetBpp() const { return dib_ ? uint16_t(dib_->bitCount()) : 0; }
    uint8_t* GetDIB() { return dib_ ? dib_->data() : nullptr; }
    const uint8_t* GetDIB() const { return dib_ ? dib_->data() : nullptr; }
    // 40 + colour table + biSizeImage: the bytes to copy.
    size_t GetSize() const { return dib_ ? dib_->size() : 0; }
    const char* GetLastErrorText() const { return lastError_; }
    uint32_t GetType() const { return type_; }
    // Takes the decoded bitmap out of the image (the image is left invalid).
    std::unique_ptr<PackedDib> TakeDIB() { return std::move(dib_); }

    // ---- for the codecs
    // A cleared bitmap of w x h at the nearest supported depth (2-3 -> 4, 5-8 -> 8, >8 -> 24);
    // the pointer to the DIB block, or null with the error text set.
    uint8_t* Create(uint32_t width, uint32_t height, uint32_t bpp, uint32_t imageType);
    void Destroy();
    // Row `row` of the stored rows (0 = bottom line).
    uint8_t* GetBits(uint32_t row = 0);
    uint32_t GetEffWidth() const { return dib_ ? dib_->stride() : 0; }
    // The colour table: 4-byte entries blue, green, red, 0.
    uint8_t* GetPalette();
    uint32_t GetNumColors() const { return dib_ ? dib_->colourTableEntries() : 0; }
    void SetPaletteColor(uint8_t index, uint8_t red, uint8_t green, uint8_t blue);
    void SetGrayPalette();

    void SetXDPI(int32_t dpi);
    void SetYDPI(int32_t dpi);
    int32_t GetXDPI() const { return xDpi_; }
    int32_t GetYDPI() const { return yDpi_; }

    // The largest width x height Create accepts, on top of the fixed bit limit: the fuzz targets
    // keep it small so that hostile headers cost little time; the program leaves it unlimited.
    void SetMaxArea(uint64_t pixels) { maxArea_ = pixels; }

    float GetJpegQuality() const { return jpegQuality_; }
    uint32_t GetCodecOption(uint32_t imageType) const;

    // An alpha channel, all 255, for the current bitmap; false with the error text set when
    // there is no bitmap or no memory for it.
    bool AlphaCreate();
    void AlphaDelete() { alpha_.reset(); }
    bool AlphaIsValid() const { return alpha_ != nullptr; }
    // Whether the file declared its alpha as such (a PNG with an alpha channel or transparency
    // table, a TGA whose descriptor counts alpha bits, a BMP header with an alpha mask, a PCX of
    // four planes), rather than bytes that may only be padding (the fourth byte of a plain
    // 32-bit BMP, a 32-bit TGA that counts no alpha bits).
    bool AlphaIsStored() const { return alpha_ != nullptr && alphaStored_; }
    void AlphaSetStored(bool stored) { alphaStored_ = stored; }
    // Takes the alpha channel out of the image: width x height values in stored-row order
    // (row 0 the bottom line), or null when there is none.
    std::unique_ptr<uint8_t[]> AlphaTake() { return std::move(alpha_); }
    // Alpha of pixel (x, stored row y).
    void AlphaSet(uint32_t x, uint32_t y, uint8_t alpha);
    uint8_t AlphaGet(uint32_t x, uint32_t y) const;

    // Keeps at most 255 characters.
    void SetError(const char* text);

    // ---- what the file says about showing its pixels (the pixels stay as stored)
    // The EXIF/TIFF orientation, 1..8: 1 means the stored rows are upright.
    uint16_t GetOrientation() const { return orientation_; }
    // Values outside 1..8 mean 1.
    void SetOrientation(uint32_t value);
    IccState GetIccState() const { return iccState_; }
    const std::vector<uint8_t>& GetIccProfile() const { return iccProfile_; }
    // Keeps a copy of the profile, or only the fact that it was too large; a copy there is no
    // memory for is dropped like a broken one. Never throws.
    void SetIccProfile(const uint8_t* bytes, size_t size);
    void SetIccBroken();
    void ForgetIccProfile();
    // Puts a turned bitmap (and its alpha, when the image has one) in place of the current.
    void ReplacePixels(std::unique_ptr<PackedDib> dib, std::unique_ptr<uint8_t[]> alpha);
    const uint8_t* AlphaData() const { return alpha_.get(); }

private:
    bool decodeAs(CxFile& file, uint32_t imageType);
    bool encodeAs(CxFile& file, uint32_t imageType);
    void writeResolution();
    void forgetFileNotes();
    std::unique_ptr<PackedDib> dib_;
    std::unique_ptr<uint8_t[]> alpha_;
    bool alphaStored_ = true;
    uint64_t maxArea_ = UINT64_MAX;
    int32_t xDpi_ = 96;
    int32_t yDpi_ = 96;
    float jpegQuality_ = 90.0f;
    uint32_t codecOptions_[20] {};
    uint32_t type_ = CXIMAGE_FORMAT_UNKNOWN;
    char lastError_[256] {};
    uint16_t orientation_ = 1;
    IccState iccState_ = IccState::None;
    std::vector<uint8_t> iccProfile_;
};

} // namespace tessary
