#include "image/cx_image.h"

#include "image/atomic_file.h"
#include "image/byte_block.h"
#include "image/cx_codec_rows.h"
#include "image/cx_codecs.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <exception>
#include <new>

namespace tessary {

namespace {
using CodecFn = bool (*)(CxImage&, CxFile&);

struct Codec {
    uint32_t format;
    CodecFn decode;
    CodecFn encode;
};

// Content detection tries the decoders in this order.
constexpr Codec kCodecs[] = {
    { CXIMAGE_FORMAT_BMP, &CxImageBMP::Decode, &CxImageBMP::Encode },
    { CXIMAGE_FORMAT_JPG, &CxImageJPG::Decode, &CxImageJPG::Encode },
    { CXIMAGE_FORMAT_PNG, &CxImagePNG::Decode, &CxImagePNG::Encode },
    { CXIMAGE_FORMAT_TIF, &CxImageTIF::Decode, &CxImageTIF::Encode },
    { CXIMAGE_FORMAT_TGA, &CxImageTGA::Decode, &CxImageTGA::Encode },
    { CXIMAGE_FORMAT_PCX, &CxImagePCX::Decode, &CxImagePCX::Encode },
};

const Codec* codecFor(uint32_t format)
{
    for (const Codec& c : kCodecs)
        if (c.format == format)
            return &c;
    return nullptr;
}

uint32_t normalisedBpp(uint32_t bpp)
{
    if (bpp <= 1)
        return 1;
    if (bpp <= 4)
        return 4;
    if (bpp <= 8)
        return 8;
    return 24;
}

// The codecs report running out of memory by their results; should a small allocation throw
// all the same, it becomes a failure with an error text here, so no exception leaves the layer.
template <class Work> bool withoutExceptions(CxImage& image, Work&& work)
{
    try {
        return work();
    } catch (const std::bad_alloc&) {
        image.SetError(kCxNoMemory);
    } catch (const std::exception& e) {
        image.SetError(e.what());
    }
    return false;
}
}

CxImage::CxImage(uint32_t imageType)
    : type_(imageType)
{
}

CxImage::CxImage(const std::string& path, uint32_t imageType)
    : type_(imageType)
{
    Load(path, imageType);
}

CxImage::CxImage(const uint8_t* buffer, size_t size, uint32_t imageType)
    : type_(imageType)
{
    Decode(buffer, size, imageType);
}

bool CxImage::Load(const std::string& path, uint32_t imageType)
{
    Destroy();
    if (codecFor(imageType)) {
        CxIOFile file;
        if (!file.Open(path, "rb"))
            return false;
        if (Decode(file, imageType))
            return true;
    }
    // The hinted decoder refused the file: try every decoder, but show the hinted decoder's
    // reason if none accepts it.
    char hintedError[256];
    std::memcpy(hintedError, lastError_, sizeof hintedError);
    CxIOFile file;
    if (!file.Open(path, "rb"))
        return false;
    if (Decode(file, CXIMAGE_FORMAT_UNKNOWN))
        return true;
    if (imageType != CXIMAGE_FORMAT_UNKNOWN)
        std::memcpy(lastError_, hintedError, sizeof hintedError);
    return false;
}

bool CxImage::Decode(CxFile& file, uint32_t imageType)
{
    Destroy();
    forgetFileNotes();
    if (withoutExceptions(*this, [&] { return decodeAs(file, imageType); }))
        return true;
    Destroy();
    return false;
}

bool CxImage::decodeAs(CxFile& file, uint32_t imageType)
{
    if (imageType == CXIMAGE_FORMAT_UNKNOWN) {
        const int64_t start = file.Tell();
        for (const Codec& c : kCodecs) {
            if (!file.Seek(start, SEEK_SET))
                break;
            Destroy();
            forgetFileNotes();
            if (c.decode(*this, file) && IsValid()) {
                type_ = c.format;
                return true;
            }
        }
        Destroy();
        SetError("Decode: Unknown or wrong format");
        return false;
    }
    const Codec* codec = codecFor(imageType);
    if (!codec) {
        SetError("Decode: Unknown or wrong format");
        return false;
    }
    if (codec->decode(*this, file) && IsValid()) {
        type_ = imageType;
        return true;
    }
    return false;
}

bool CxImage::Decode(const uint8_t* buffer, size_t size, uint32_t imageType)
{
    CxMemFile file(buffer, size);
    return Decode(file, imageType);
}

bool CxImage::Save(const std::string& path, uint32_t imageType)
{
    return writeFileAtomically(path, [&](CxFile& file) { return Encode(file, imageType); });
}

bool CxImage::Encode(CxFile& file, uint32_t imageType)
{
    return withoutExceptions(*this, [&] { return encodeAs(file, imageType); });
}

bool CxImage::encodeAs(CxFile& file, uint32_t imageType)
{
    if (!IsValid()) {
        SetError("invalid image");
        return false;
    }
    // The two formats with an encoder that always refuses, each with its own text.
    if (imageType == CXIMAGE_FORMAT_WMF || imageType == CXIMAGE_FORMAT_RAW) {
        SetError(imageType == CXIMAGE_FORMAT_WMF ? "Save WMF not supported" : "Save RAW not supported");
        return false;
    }
    const Codec* codec = codecFor(imageType);
    if (!codec) {
        SetError("Save format not supported");
        return false;
    }
    return codec->encode(*this, file);
}

uint8_t* CxImage::Create(uint32_t width, uint32_t height, uint32_t bpp, uint32_t imageType)
{
    Destroy();
    if (width == 0 || height == 0) {
        SetError("CxImage::Create : width and height must be greater than zero");
        return nullptr;
    }
    const uint64_t bits = uint64_t(width) * uint64_t(height) * uint64_t(bpp);
    if (bits >= kCxImageMaxBits || width > uint32_t(INT32_MAX) || height > uint32_t(INT32_MAX)
        || uint64_t(width) * height > maxArea_) {
        SetError("CXIMAGE_MAX_MEMORY exceeded");
        return nullptr;
    }
    bpp = normalisedBpp(bpp);
    const uint32_t entries = bpp <= 8 ? (1u << bpp) : 0;
    const uint64_t stride = rowStride(int32_t(width), int(bpp));
    const uint64_t imageBytes = stride * height;
    // The bit limit above bounds the pixel bytes; the padded size stays far below 4 GiB.
    if (stride == 0 || imageBytes > UINT32_MAX) {
        SetError("CXIMAGE_MAX_MEMORY exceeded");
        return nullptr;
    }
    dib_ = PackedDib::allocate(sizeof(BitmapInfoHeader) + 4 * size_t(entries) + size_t(imageBytes));
    if (!dib_) {
        SetError(kCxNoMemory);
        return nullptr;
    }
    BitmapInfoHeader h;
    h.biWidth = int32_t(width);
    h.biHeight = int32_t(height);
    h.biBitCount = uint16_t(bpp);
    h.biSizeImage = uint32_t(imageBytes);
    h.biClrUsed = entries;
    dib_->setHeader(h);
    writeResolution();
    type_ = imageType;
    return dib_->data();
}

void CxImage::Destroy()
{
    dib_.reset();
    alpha_.reset();
    alphaStored_ = true;
}

uint8_t* CxImage::GetBits(uint32_t row)
{
    if (!dib_)
        return nullptr;
    return dib_->row(int32_t(row));
}

uint8_t* CxImage::GetPalette()
{
    if (!dib_ || dib_->colourTableEntries() == 0)
        return nullptr;
    return dib_->data() + dib_->colourTableOffset();
}

void CxImage::SetPaletteColor(uint8_t index, uint8_t red, uint8_t green, uint8_t blue)
{
    uint8_t* palette = GetPalette();
    if (!palette || index >= GetNumColors())
        return;
    uint8_t* entry = palette + 4 * size_t(index);
    entry[0] = blue;
    entry[1] = green;
    entry[2] = red;
    entry[3] = 0;
}

void CxImage::SetGrayPalette()
{
    const uint32_t n = GetNumColors();
    for (uint32_t i = 0; i < n && n > 1; ++i) {
        const uint8_t v = uint8_t(i * 255 / (n - 1));
        SetPaletteColor(uint8_t(i), v, v, v);
    }
}

void CxImage::SetXDPI(int32_t dpi)
{
    xDpi_ = dpi <= 0 ? 96 : dpi;
    writeResolution();
}

void CxImage::SetYDPI(int32_t dpi)
{
    yDpi_ = dpi <= 0 ? 96 : dpi;
    writeResolution();
}

void CxImage::writeResolution()
{
    if (!dib_)
        return;
    BitmapInfoHeader h = dib_->header();
    h.biXPelsPerMeter = dpiToPixelsPerMetre(xDpi_);
    h.biYPelsPerMeter = dpiToPixelsPerMetre(yDpi_);
    dib_->setHeader(h);
}

uint32_t CxImage::GetCodecOption(uint32_t imageType) const
{
    return imageType < 20 ? codecOptions_[imageType] : 0;
}

bool CxImage::AlphaCreate()
{
    alpha_.reset();
    if (!dib_) {
        SetError("invalid image");
        return false;
    }
    const size_t count = size_t(GetWidth()) * size_t(GetHeight());
    alpha_ = allocateBytes(count);
    if (!alpha_) {
        SetError(kCxNoMemory);
        return false;
    }
    std::memset(alpha_.get(), 255, count);
    return true;
}

void CxImage::AlphaSet(uint32_t x, uint32_t y, uint8_t alpha)
{
    if (alpha_ && x < uint32_t(GetWidth()) && y < uint32_t(GetHeight()))
        alpha_[size_t(y) * size_t(GetWidth()) + x] = alpha;
}

uint8_t CxImage::AlphaGet(uint32_t x, uint32_t y) const
{
    if (!alpha_ || x >= uint32_t(GetWidth()) || y >= uint32_t(GetHeight()))
        return 255;
    return alpha_[size_t(y) * size_t(GetWidth()) + x];
}

void CxImage::SetOrientation(uint32_t value)
{
    orientation_ = value >= 1 && value <= 8 ? uint16_t(value) : 1;
}

void CxImage::SetIccProfile(const uint8_t* bytes, size_t size)
{
    iccProfile_.clear();
    if (size > kMaxIccProfileBytes) {
        iccState_ = IccState::TooLarge;
        return;
    }
    try {
        iccProfile_.assign(bytes, bytes + size);
        iccState_ = IccState::Kept;
    } catch (const std::bad_alloc&) {
        iccState_ = IccState::Broken;
    }
}

void CxImage::SetIccBroken()
{
    ForgetIccProfile();
    iccState_ = IccState::Broken;
}

void CxImage::ForgetIccProfile()
{
    iccProfile_ = {};
    iccState_ = IccState::None;
}

void CxImage::forgetFileNotes()
{
    orientation_ = 1;
    ForgetIccProfile();
}

void CxImage::ReplacePixels(std::unique_ptr<PackedDib> dib, std::unique_ptr<uint8_t[]> alpha)
{
    dib_ = std::move(dib);
    alpha_ = std::move(alpha);
}

void CxImage::SetError(const char* text)
{
    std::strncpy(lastError_, text ? text : "", sizeof lastError_ - 1);
    lastError_[sizeof lastError_ - 1] = '\0';
}

} // namespace tessary
