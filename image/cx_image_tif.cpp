#include "image/cx_codec_rows.h"
#include "image/cx_codecs.h"
#include "image/cx_image.h"
#include "image/large_block.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <new>

#include <tiffio.h>

namespace tessary {

namespace {
// Largest block libtiff may allocate at once for a file's own structures (strip buffers,
// tag arrays): a hostile header cannot make it reserve gigabytes.
constexpr tmsize_t kMaxLibraryAllocation = tmsize_t(512) * 1024 * 1024;
// What libtiff names the stream in its messages; left out of the error text.
constexpr const char* kStreamName = "TIFF";

// One open TIFF over a CxFile: offsets in the file are relative to where the TIFF data
// starts in the stream. Collects libtiff's messages instead of letting them reach stderr.
struct TiffStream {
    CxFile* file = nullptr;
    int64_t base = 0;
    char error[256] = {};
    char warning[256] = {};
};

void recordMessage(char* target, size_t size, const char* module, const char* fmt, va_list ap)
{
    if (target[0] != '\0') // the first message is the cause, later ones its consequences
        return;
    char text[256];
    std::vsnprintf(text, sizeof text, fmt, ap);
    // Longer messages are cut to the error text's 255 characters.
    const bool named = module && module[0] && std::strcmp(module, kStreamName) != 0;
    if (std::snprintf(target, size, named ? "%s: %s" : "%s%s", named ? module : "", text) < 0)
        target[0] = '\0';
}

// Messages without a handle go through libtiff's process-wide handlers: route them to the
// stream being coded on this thread, and never to stderr.
thread_local TiffStream* tActiveStream = nullptr;

void globalError(const char* module, const char* fmt, va_list ap)
{
    if (tActiveStream)
        recordMessage(tActiveStream->error, sizeof tActiveStream->error, module, fmt, ap);
}

void globalWarning(const char* module, const char* fmt, va_list ap)
{
    if (tActiveStream)
        recordMessage(tActiveStream->warning, sizeof tActiveStream->warning, module, fmt, ap);
}

int streamError(TIFF*, void* user, const char* module, const char* fmt, va_list ap)
{
    auto* s = static_cast<TiffStream*>(user);
    recordMessage(s->error, sizeof s->error, module, fmt, ap);
    return 1; // handled: libtiff does not pass it on to the global handler
}

int streamWarning(TIFF*, void* user, const char* module, const char* fmt, va_list ap)
{
    auto* s = static_cast<TiffStream*>(user);
    recordMessage(s->warning, sizeof s->warning, module, fmt, ap);
    return 1;
}

// Installs the global handlers once and marks `stream` as this thread's current one.
class ActiveStream {
public:
    explicit ActiveStream(TiffStream* stream)
    {
        static std::once_flag installed;
        std::call_once(installed, [] {
            TIFFSetErrorHandler(globalError);
            TIFFSetWarningHandler(globalWarning);
        });
        previous_ = tActiveStream;
        tActiveStream = stream;
    }
    ~ActiveStream() { tActiveStream = previous_; }
    ActiveStream(const ActiveStream&) = delete;
    ActiveStream& operator=(const ActiveStream&) = delete;

private:
    TiffStream* previous_;
};

tmsize_t readProc(thandle_t handle, void* buffer, tmsize_t size)
{
    if (size <= 0)
        return 0;
    return tmsize_t(static_cast<TiffStream*>(handle)->file->Read(buffer, 1, size_t(size)));
}

tmsize_t writeProc(thandle_t handle, void* buffer, tmsize_t size)
{
    if (size <= 0)
        return 0;
    return tmsize_t(static_cast<TiffStream*>(handle)->file->Write(buffer, 1, size_t(size)));
}

toff_t seekProc(thandle_t handle, toff_t offset, int whence)
{
    auto* s = static_cast<TiffStream*>(handle);
    bool ok = false;
    if (whence == SEEK_SET) {
        ok = offset <= toff_t(std::numeric_limits<int64_t>::max() - s->base)
            && s->file->Seek(s->base + int64_t(offset), SEEK_SET);
    } else if (whence == SEEK_CUR || whence == SEEK_END) {
        ok = s->file->Seek(int64_t(offset), whence);
    }
    const int64_t position = ok ? s->file->Tell() - s->base : -1;
    return position < 0 ? toff_t(-1) : toff_t(position);
}

int closeProc(thandle_t)
{
    return 0;
} // the stream belongs to the caller

toff_t sizeProc(thandle_t handle)
{
    auto* s = static_cast<TiffStream*>(handle);
    const int64_t size = s->file->Size() - s->base;
    return size < 0 ? 0 : toff_t(size);
}

int mapProc(thandle_t, void**, toff_t*)
{
    return 0;
} // no mapping: libtiff reads instead
void unmapProc(thandle_t, void*, toff_t) { }

TIFF* openTiff(TiffStream& stream, const char* mode)
{
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options)
        return nullptr;
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, kMaxLibraryAllocation);
    TIFFOpenOptionsSetErrorHandlerExtR(options, streamError, &stream);
    TIFFOpenOptionsSetWarningHandlerExtR(options, streamWarning, &stream);
    TIFF* tif = TIFFClientOpenExt(kStreamName, mode, &stream, readProc, writeProc, seekProc, closeProc,
        sizeProc, mapProc, unmapProc, options);
    TIFFOpenOptionsFree(options);
    return tif;
}

// The library's reason when it gave one, else ours.
const char* reason(const TiffStream& stream, const char* fallback)
{
    return stream.error[0] ? stream.error : fallback;
}

int32_t resolutionToDpi(TIFF* tif, ttag_t tag)
{
    float resolution = 0;
    uint16_t unit = RESUNIT_INCH;
    if (!TIFFGetField(tif, tag, &resolution))
        return 96;
    TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
    double dpi = resolution;
    if (unit == RESUNIT_CENTIMETER)
        dpi *= 2.54;
    else if (unit != RESUNIT_INCH)
        return 96;
    if (!std::isfinite(dpi) || dpi < 1 || dpi > 1e6)
        return 96;
    return int32_t(dpi + 0.5);
}

// Bilevel, grey and palette images of 1, 2, 4 or 8 bits in strips keep an indexed DIB
// (2 bits widened to 4); plain 8-bit RGB is read row by row; everything else goes through
// libtiff's RGBA reader to 24 bits.
bool readsAtDepth(TIFF* tif, uint16_t& photometric, uint16_t& bitsPerSample)
{
    uint16_t samples = 1, compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bitsPerSample);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric))
        return false;
    if (TIFFIsTiled(tif) || samples != 1 || compression == COMPRESSION_OJPEG)
        return false;
    if (bitsPerSample != 1 && bitsPerSample != 2 && bitsPerSample != 4 && bitsPerSample != 8)
        return false;
    if (photometric == PHOTOMETRIC_PALETTE) {
        uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
        return TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue) && red && green && blue;
    }
    return photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE;
}

// Reads the rows top row first, each into a scanline buffer of at least `needed` bytes, and
// hands it with its bottom-up row to `store`.
template <class Store>
bool readScanlines(
    TIFF* tif, TiffStream& stream, CxImage& image, uint32_t height, uint64_t needed, bool zeroed, Store store)
{
    const uint64_t scanline = uint64_t(TIFFScanlineSize64(tif));
    if (scanline < needed || scanline > uint64_t(std::numeric_limits<size_t>::max())) {
        image.SetError(reason(stream, "Corrupted TIFF file!"));
        return false;
    }
    std::unique_ptr<uint8_t[]> buffer(zeroed ? new (std::nothrow) uint8_t[size_t(scanline)]()
                                             : new (std::nothrow) uint8_t[size_t(scanline)]);
    if (!buffer) {
        image.SetError(kCxNoMemory);
        return false;
    }
    for (uint32_t y = 0; y < height; ++y) {
        if (TIFFReadScanline(tif, buffer.get(), y, 0) < 0) {
            image.SetError(reason(stream, "Corrupted TIFF file!"));
            return false;
        }
        store(static_cast<const uint8_t*>(buffer.get()), image.GetBits(height - 1 - y));
    }
    return true;
}

bool decodeAtDepth(TIFF* tif, TiffStream& stream, CxImage& image, uint32_t width, uint32_t height,
    uint16_t photometric, uint16_t bits)
{
    if (!image.Create(width, height, bits, CXIMAGE_FORMAT_TIF))
        return false;
    const uint32_t levels = 1u << bits;
    if (photometric == PHOTOMETRIC_PALETTE) {
        uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
        TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue);
        // Colour maps are 16-bit; some writers put 8-bit values in them.
        bool eightBit = true;
        for (uint32_t i = 0; i < levels; ++i)
            if (red[i] > 255 || green[i] > 255 || blue[i] > 255)
                eightBit = false;
        const int shift = eightBit ? 0 : 8;
        for (uint32_t i = 0; i < levels; ++i)
            image.SetPaletteColor(
                uint8_t(i), uint8_t(red[i] >> shift), uint8_t(green[i] >> shift), uint8_t(blue[i] >> shift));
    } else {
        for (uint32_t i = 0; i < levels; ++i) {
            uint8_t v = uint8_t(i * 255 / (levels - 1));
            if (photometric == PHOTOMETRIC_MINISWHITE)
                v = uint8_t(255 - v);
            image.SetPaletteColor(uint8_t(i), v, v, v);
        }
    }

    const uint64_t needed = (uint64_t(width) * bits + 7) / 8;
    // Zeroed: some codecs (fax) leave the bits past the last pixel untouched.
    return readScanlines(tif, stream, image, height, needed, true, [&](const uint8_t* line, uint8_t* dib) {
        if (bits != 2) {
            std::memcpy(dib, line, size_t(needed));
            // Bits past the last pixel are padding: keep them clear.
            const uint32_t usedBits = uint32_t((uint64_t(width) * bits) % 8);
            if (usedBits)
                dib[needed - 1] &= uint8_t(0xFF << (8 - usedBits));
            return;
        }
        for (uint32_t x = 0; x < width; ++x) {
            const uint8_t v = uint8_t((line[x / 4] >> (6 - 2 * (x & 3))) & 3);
            dib[x / 2] = uint8_t((x & 1) ? (dib[x / 2] & 0xF0) | v : (dib[x / 2] & 0x0F) | (v << 4));
        }
    });
}

// Plain 8-bit RGB in strips, top row first: the samples are the colours, so the rows are read
// one at a time straight into the bottom-up rows, with the bytes the RGBA reader would give.
bool readsRgbRows(TIFF* tif)
{
    uint16_t samples = 1, bits = 1, photometric = 0, planar = PLANARCONFIG_CONTIG;
    uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    return TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric) && photometric == PHOTOMETRIC_RGB
        && samples == 3 && bits == 8 && planar == PLANARCONFIG_CONTIG && !TIFFIsTiled(tif) && compression != COMPRESSION_OJPEG && compression != COMPRESSION_JPEG;
}

bool decodeRgbRows(TIFF* tif, TiffStream& stream, CxImage& image, uint32_t width, uint32_t height)
{
    if (!image.Create(width, height, 24, CXIMAGE_FORMAT_TIF))
        return false;
    return readScanlines(
        tif, stream, image, height, uint64_t(width) * 3, false, [&](const uint8_t* rgb, uint8_t* dib) {
            for (uint32_t x = 0; x < width; ++x, dib += 3, rgb += 3) {
                dib[0] = rgb[2];
                dib[1] = rgb[1];
                dib[2] = rgb[0];
            }
        });
}

struct FreeRaster {
    void operator()(uint32_t* p) const { std::free(p); }
};

bool decodeRgba(TIFF* tif, TiffStream& stream, CxImage& image, uint32_t width, uint32_t height)
{
    char message[1024] = {};
    if (!TIFFRGBAImageOK(tif, message)) {
        image.SetError(message);
        return false;
    }
    // CxImage::Create checks the size before anything is allocated for it.
    if (!image.Create(width, height, 24, CXIMAGE_FORMAT_TIF))
        return false;
    const std::unique_ptr<uint32_t[], FreeRaster> raster(
        static_cast<uint32_t*>(allocateLargeBlock(size_t(width) * height * sizeof(uint32_t), false)));
    if (!raster) {
        image.SetError(kCxNoMemory);
        return false;
    }
    TIFFRGBAImage rgba {};
    if (!TIFFRGBAImageBegin(&rgba, tif, 1, message)) {
        image.SetError(message);
        return false;
    }
    // Bottom-left origin: raster row 0 is the bottom stored line, as in the DIB. The rows stay
    // as stored, whatever the file's orientation: loading turns the picture upright, for every
    // format alike (libtiff would only do the flips, not the turns).
    rgba.orientation = ORIENTATION_TOPLEFT;
    rgba.req_orientation = ORIENTATION_BOTLEFT;
    const int ok = TIFFRGBAImageGet(&rgba, raster.get(), width, height);
    const bool hasAlpha = rgba.alpha != 0;
    TIFFRGBAImageEnd(&rgba);
    if (!ok) {
        image.SetError(reason(stream, "Corrupted TIFF file!"));
        return false;
    }
    if (hasAlpha && !image.AlphaCreate())
        return false;
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* dib = image.GetBits(y);
        const uint32_t* pixel = raster.get() + size_t(y) * width;
        for (uint32_t x = 0; x < width; ++x) {
            dib[3 * x] = uint8_t(TIFFGetB(pixel[x]));
            dib[3 * x + 1] = uint8_t(TIFFGetG(pixel[x]));
            dib[3 * x + 2] = uint8_t(TIFFGetR(pixel[x]));
            if (hasAlpha)
                image.AlphaSet(x, y, uint8_t(TIFFGetA(pixel[x])));
        }
    }
    return true;
}

void keepOrientationAndProfile(TIFF* tif, CxImage& image)
{
    uint16_t orientation = ORIENTATION_TOPLEFT;
    if (TIFFGetField(tif, TIFFTAG_ORIENTATION, &orientation))
        image.SetOrientation(orientation);
    uint32_t size = 0;
    void* profile = nullptr;
    if (TIFFGetField(tif, TIFFTAG_ICCPROFILE, &size, &profile) && size > 0) {
        if (profile)
            image.SetIccProfile(static_cast<const uint8_t*>(profile), size);
        else
            image.SetIccBroken();
    }
}

bool decodeFirstImage(TIFF* tif, TiffStream& stream, CxImage& image)
{
    uint32_t width = 0, height = 0;
    if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width) || !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height)) {
        image.SetError(reason(stream, "Corrupted TIFF file!"));
        return false;
    }
    uint16_t photometric = 0, bits = 1;
    bool ok = false;
    if (readsAtDepth(tif, photometric, bits))
        ok = decodeAtDepth(tif, stream, image, width, height, photometric, bits);
    else if (readsRgbRows(tif))
        ok = decodeRgbRows(tif, stream, image, width, height);
    else
        ok = decodeRgba(tif, stream, image, width, height);
    if (!ok)
        return false;
    image.SetXDPI(resolutionToDpi(tif, TIFFTAG_XRESOLUTION));
    image.SetYDPI(resolutionToDpi(tif, TIFFTAG_YRESOLUTION));
    keepOrientationAndProfile(tif, image);
    return true;
}

// ---- encoding

uint16_t defaultCompression(uint16_t bpp)
{
    switch (bpp) {
    case 1:
        return COMPRESSION_CCITTFAX4;
    case 4:
    case 8:
        return COMPRESSION_LZW;
    case 24:
    case 32:
        return COMPRESSION_JPEG;
    default:
        return COMPRESSION_NONE;
    }
}

// Luminance of colour-table entry `index`, for choosing the bilevel photometric.
int luminance(CxImage& image, uint32_t index)
{
    const uint8_t* entry = image.GetPalette() + 4 * size_t(index);
    return entry[0] * 114 + entry[1] * 587 + entry[2] * 299;
}

bool writeFields(TIFF* tif, CxImage& image)
{
    const uint16_t bpp = image.GetBpp();
    const uint32_t option = image.GetCodecOption(CXIMAGE_FORMAT_TIF);
    const uint16_t compression = option ? uint16_t(option) : defaultCompression(bpp);
    bool ok = TIFFSetField(tif, TIFFTAG_SUBFILETYPE, 0)
        && TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(image.GetWidth()))
        && TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(image.GetHeight()))
        && TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG)
        && TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT)
        && TIFFSetField(tif, TIFFTAG_XRESOLUTION, float(image.GetXDPI()))
        && TIFFSetField(tif, TIFFTAG_YRESOLUTION, float(image.GetYDPI()))
        && TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    if (bpp == 24) {
        ok = ok && TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3)
            && TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8)
            && TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    } else if (bpp == 1) {
        const bool whiteIsZero = luminance(image, 0) > luminance(image, 1);
        ok = ok && TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1)
            && TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1)
            && TIFFSetField(
                tif, TIFFTAG_PHOTOMETRIC, whiteIsZero ? PHOTOMETRIC_MINISWHITE : PHOTOMETRIC_MINISBLACK);
    } else {
        // 4 and 8 bits: the colour table as a TIFF colour map (16-bit entries).
        const uint32_t entries = 1u << bpp;
        uint16_t map[3][256] = {};
        const uint8_t* palette = image.GetPalette();
        for (uint32_t i = 0; i < entries && i < image.GetNumColors(); ++i) {
            map[0][i] = uint16_t(palette[4 * i + 2] * 257);
            map[1][i] = uint16_t(palette[4 * i + 1] * 257);
            map[2][i] = uint16_t(palette[4 * i] * 257);
        }
        ok = ok && TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1)
            && TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bpp)
            && TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_PALETTE)
            && TIFFSetField(tif, TIFFTAG_COLORMAP, map[0], map[1], map[2]);
    }
    // libtiff's own default strip size, taken before the codec is chosen (the JPEG codec would
    // adjust it to its sampling), rounded up to whole 8-line blocks for JPEG.
    const uint32_t rows = ok ? (TIFFDefaultStripSize(tif, 0) + 7) / 8 * 8 : 0;
    ok = ok && TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
    if (ok && compression == COMPRESSION_JPEG)
        ok = TIFFSetField(tif, TIFFTAG_JPEGQUALITY, int(image.GetJpegQuality()));
    if (ok && compression == COMPRESSION_LZW && bpp == 8)
        ok = TIFFSetField(tif, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    if (!ok)
        return false;
    return TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rows) != 0;
}

bool writeRows(TIFF* tif, CxImage& image)
{
    const uint32_t width = uint32_t(image.GetWidth()), height = uint32_t(image.GetHeight());
    const uint16_t bpp = image.GetBpp();
    const size_t rowBytes = bpp == 24 ? size_t(width) * 3 : (size_t(width) * bpp + 7) / 8;
    // Codecs may change the row in place (the predictor does), so each row is a copy.
    std::unique_ptr<uint8_t[]> row(new (std::nothrow) uint8_t[rowBytes]);
    if (!row)
        return false;
    for (uint32_t y = 0; y < height; ++y) {
        const uint32_t stored = height - 1 - y; // top row first
        if (bpp == 24)
            dibRowToRgb(image, stored, row.get());
        else
            std::memcpy(row.get(), image.GetBits(stored), rowBytes);
        if (TIFFWriteScanline(tif, row.get(), y, 0) < 0)
            return false;
    }
    return true;
}
}

bool CxImageTIF::Decode(CxImage& image, CxFile& file)
{
    TiffStream stream;
    stream.file = &file;
    stream.base = file.Tell();
    if (stream.base < 0) {
        image.SetError("Error encountered while opening TIFF file");
        return false;
    }
    ActiveStream active(&stream);
    TIFF* tif = openTiff(stream, "rm");
    if (!tif) {
        image.SetError(reason(stream, "Error encountered while opening TIFF file"));
        return false;
    }
    const bool ok = decodeFirstImage(tif, stream, image);
    TIFFClose(tif);
    if (!ok)
        image.Destroy();
    return ok;
}

bool CxImageTIF::Encode(CxImage& image, CxFile& file)
{
    if (!image.IsValid()) {
        image.SetError("invalid image");
        return false;
    }
    const uint16_t bpp = image.GetBpp();
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24) {
        image.SetError("Error saving TIFF file");
        return false;
    }
    // libtiff writes one directory with writes and seeks only (it patches the header's first
    // directory offset) and never reads it back, so a stream opened for writing alone will do.
    // Should it ever try to read, the read fails, libtiff reports it and the save fails.
    TiffStream stream;
    stream.file = &file;
    stream.base = file.Tell();
    if (stream.base < 0) {
        image.SetError("Error saving TIFF file");
        return false;
    }
    ActiveStream active(&stream);
    TIFF* tif = openTiff(stream, "w");
    if (!tif) {
        image.SetError("Error saving TIFF file");
        return false;
    }
    if (!writeFields(tif, image) || !writeRows(tif, image)) {
        TIFFCleanup(tif);
        image.SetError("Error saving TIFF file");
        return false;
    }
    if (!TIFFWriteDirectory(tif)) {
        TIFFCleanup(tif);
        image.SetError("Error saving TIFF directory");
        return false;
    }
    TIFFClose(tif);
    if (stream.error[0]) {
        image.SetError("Error saving TIFF file");
        return false;
    }
    return true;
}

} // namespace tessary
