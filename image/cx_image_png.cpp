#include "image/cx_codec_rows.h"
#include "image/cx_codecs.h"
#include "image/cx_image.h"
#include "image/packed_dib.h"
#include "image/png_metadata.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include <png.h>

// libpng reports fatal errors through our error function, which records the message and
// longjmps back to Decode/Encode. What must survive the jump lives in a heap state object made
// before setjmp; buffers are plain malloc blocks freed by the state's owner, and no object with
// a destructor is created between setjmp and a possible jump.

namespace tessary {

namespace {
// Largest ancillary chunk libpng may buffer for a hostile file (zTXt, iCCP...).
constexpr png_alloc_size_t kMaxChunkBytes = 8000000;

// Chunks libpng skips unread (the orientation and profile are read by readPngMetadata, which
// never buffers a chunk whole). libpng only warns about a chunk longer than
// the limit above and then allocates and clears all of it: a 71-byte file whose text chunk
// claims 1.2 GB would take that much memory and half a minute before the missing bytes show.
constexpr png_byte kUnusedChunks[] = "tEXt\0zTXt\0iTXt\0iCCP\0sPLT\0eXIf\0hIST\0tIME\0pCAL\0sCAL\0oFFs\0sTER";
constexpr int kUnusedChunkCount = sizeof kUnusedChunks / 5;

struct PngState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    CxFile* file = nullptr;
    uint8_t* buffer = nullptr;
    // CxImage::Create refused the size and has set the error text itself.
    bool createFailed = false;
    char message[256] = {};

    ~PngState() { std::free(buffer); }
};

[[noreturn]] void pngError(png_structp png, png_const_charp text)
{
    auto* s = static_cast<PngState*>(png_get_error_ptr(png));
    std::snprintf(s->message, sizeof s->message, "%s", text ? text : "PNG error");
    png_longjmp(png, 1);
}

// Warnings (bad ancillary chunks, extra data) are not shown: the picture is still good.
void pngWarning(png_structp, png_const_charp) { }

void readData(png_structp png, png_bytep data, size_t length)
{
    auto* s = static_cast<PngState*>(png_get_io_ptr(png));
    if (s->file->Read(data, 1, length) != length)
        png_error(png, "Read Error: PNG file is truncated");
}

void writeData(png_structp png, png_bytep data, size_t length)
{
    auto* s = static_cast<PngState*>(png_get_io_ptr(png));
    if (s->file->Write(data, 1, length) != length)
        png_error(png, "Error saving PNG file");
}

void flushData(png_structp png)
{
    static_cast<PngState*>(png_get_io_ptr(png))->file->Flush();
}

// How rows come out of libpng once the transformations are set.
enum class Layout {
    Indexed, // one sample per pixel, palette index or grey level, 1, 2, 4 or 8 bits
    Bgr, // 3 bytes blue, green, red: the 24-bit DIB layout
    Bgra, // 4 bytes, alpha last
    GreyAlpha, // 2 bytes grey, alpha
};

// Copies one row that does not have the DIB layout into stored row `storedRow`.
void convertRow(CxImage& image, Layout layout, const uint8_t* src, uint32_t width, uint32_t storedRow)
{
    uint8_t* dib = image.GetBits(storedRow);
    switch (layout) {
    case Layout::Indexed: // 2-bit samples widened to 4-bit nibbles
        for (uint32_t x = 0; x < width; ++x) {
            const uint8_t v = uint8_t((src[x / 4] >> (6 - 2 * (x & 3))) & 3);
            dib[x / 2] = uint8_t((x & 1) ? (dib[x / 2] & 0xF0) | v : (dib[x / 2] & 0x0F) | (v << 4));
        }
        break;
    case Layout::Bgra:
        for (uint32_t x = 0; x < width; ++x) {
            std::memcpy(dib + 3 * size_t(x), src + 4 * size_t(x), 3);
            image.AlphaSet(x, storedRow, src[4 * size_t(x) + 3]);
        }
        break;
    case Layout::GreyAlpha:
        for (uint32_t x = 0; x < width; ++x) {
            dib[x] = src[2 * size_t(x)];
            image.AlphaSet(x, storedRow, src[2 * size_t(x) + 1]);
        }
        break;
    case Layout::Bgr:
        break;
    }
}

// Alpha of every pixel of a palette image from its tRNS table; false when there is no memory.
bool applyPaletteAlpha(CxImage& image, png_const_bytep trans, int count)
{
    const uint32_t width = uint32_t(image.GetWidth()), height = uint32_t(image.GetHeight());
    const uint16_t bpp = image.GetBpp();
    if (!image.AlphaCreate())
        return false;
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* row = image.GetBits(y);
        for (uint32_t x = 0; x < width; ++x) {
            uint32_t index = 0;
            if (bpp == 8)
                index = row[x];
            else if (bpp == 4)
                index = (row[x / 2] >> ((x & 1) ? 0 : 4)) & 0x0F;
            else
                index = (row[x / 8] >> (7 - (x & 7))) & 1;
            image.AlphaSet(x, y, int(index) < count ? trans[index] : 255);
        }
    }
    return true;
}

// Reads the image; may longjmp out through pngError.
void decodePixels(PngState& s, CxImage& image)
{
    png_structp png = s.png;
    png_infop info = s.info;
    // A header may claim any size up to 2^31 - 1: refuse what the program cannot hold before
    // libpng sizes anything by it.
    png_set_user_limits(png, uint32_t(kMaxImageSide), uint32_t(kMaxImageSide));
    png_set_chunk_malloc_max(png, kMaxChunkBytes);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kUnusedChunks, kUnusedChunkCount);
    png_set_read_fn(png, &s, readData);
    png_read_info(png, info);

    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colorType = 0, interlace = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colorType, &interlace, nullptr, nullptr);
    const bool hasTrns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    const int depth = bitDepth > 8 ? 8 : bitDepth; // 16-bit samples keep their high byte
    if (bitDepth == 16)
        png_set_strip_16(png);

    Layout layout = Layout::Indexed;
    uint32_t bpp = 24;
    switch (colorType) {
    case PNG_COLOR_TYPE_PALETTE:
        bpp = uint32_t(depth);
        break;
    case PNG_COLOR_TYPE_GRAY:
        if (hasTrns) { // one grey level is transparent: expand to grey + alpha
            png_set_tRNS_to_alpha(png);
            layout = Layout::GreyAlpha;
            bpp = 8;
        } else {
            bpp = uint32_t(depth);
        }
        break;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        layout = Layout::GreyAlpha;
        bpp = 8;
        break;
    case PNG_COLOR_TYPE_RGB:
        png_set_bgr(png);
        if (hasTrns) { // one colour is transparent
            png_set_tRNS_to_alpha(png);
            layout = Layout::Bgra;
        } else {
            layout = Layout::Bgr;
        }
        break;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        png_set_bgr(png);
        layout = Layout::Bgra;
        break;
    default:
        png_error(png, "unknown PNG color type");
    }
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);

    const size_t rowBytes = png_get_rowbytes(png, info);
    const int channels = png_get_channels(png, info);
    const int expectedChannels = layout == Layout::Indexed ? 1
        : layout == Layout::GreyAlpha                      ? 2
        : layout == Layout::Bgr                            ? 3
                                                           : 4;
    const int outDepth = png_get_bit_depth(png, info);
    if (channels != expectedChannels || outDepth != (layout == Layout::Indexed ? depth : 8)
        || rowBytes < (size_t(width) * size_t(channels) * size_t(outDepth) + 7) / 8)
        png_error(png, "unknown PNG color type");

    if (!image.Create(width, height, bpp, CXIMAGE_FORMAT_PNG)) {
        s.createFailed = true;
        png_longjmp(png, 1);
    }

    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        png_colorp palette = nullptr;
        int count = 0;
        if (png_get_PLTE(png, info, &palette, &count) && palette) {
            const int entries = int(image.GetNumColors());
            for (int i = 0; i < count && i < entries; ++i)
                image.SetPaletteColor(uint8_t(i), palette[i].red, palette[i].green, palette[i].blue);
        }
    } else if (layout == Layout::Indexed || layout == Layout::GreyAlpha) {
        // Grey levels of the file's depth: 2 bits gives 0, 85, 170, 255 in a 16-entry table.
        const int levels = 1 << (layout == Layout::GreyAlpha ? 8 : depth);
        for (int i = 0; i < levels; ++i) {
            const uint8_t v = uint8_t(i * 255 / (levels - 1));
            image.SetPaletteColor(uint8_t(i), v, v, v);
        }
    }
    if ((layout == Layout::Bgra || layout == Layout::GreyAlpha) && !image.AlphaCreate())
        png_error(png, kCxNoMemory);

    const bool direct = layout == Layout::Bgr || (layout == Layout::Indexed && depth != 2);
    if (direct) {
        // libpng's rows already have the DIB layout (MSB-first packing, or BGR): read into
        // the bitmap; interlace passes fill in the pixels of the same rows.
        for (int pass = 0; pass < passes; ++pass)
            for (uint32_t y = 0; y < height; ++y)
                png_read_row(png, image.GetBits(height - 1 - y), nullptr);
        // Bits past the last pixel are padding, whatever the file held there: keep them clear.
        const uint32_t usedBits = uint32_t((uint64_t(width) * uint32_t(depth)) % 8);
        if (layout == Layout::Indexed && usedBits)
            for (uint32_t y = 0; y < height; ++y)
                image.GetBits(y)[(uint64_t(width) * uint32_t(depth)) / 8] &= uint8_t(0xFF << (8 - usedBits));
    } else {
        // Interlaced files need the whole image before a row is complete.
        const size_t rows = passes > 1 ? size_t(height) : 1;
        s.buffer = static_cast<uint8_t*>(std::calloc(rows, rowBytes));
        if (!s.buffer)
            png_error(png, kCxNoMemory);
        for (int pass = 0; pass < passes; ++pass)
            for (uint32_t y = 0; y < height; ++y) {
                uint8_t* row = s.buffer + (passes > 1 ? size_t(y) * rowBytes : 0);
                png_read_row(png, row, nullptr);
                if (passes == 1)
                    convertRow(image, layout, row, width, height - 1 - y);
            }
        if (passes > 1)
            for (uint32_t y = 0; y < height; ++y)
                convertRow(image, layout, s.buffer + size_t(y) * rowBytes, width, height - 1 - y);
    }

    if (colorType == PNG_COLOR_TYPE_PALETTE && hasTrns) {
        png_bytep trans = nullptr;
        int count = 0;
        if (png_get_tRNS(png, info, &trans, &count, nullptr) && trans && count > 0
            && !applyPaletteAlpha(image, trans, count))
            png_error(png, kCxNoMemory);
    }

    // 96 dpi unless pHYs gives pixels per metre (0 also means 96).
    png_uint_32 xPpm = 0, yPpm = 0;
    int unit = 0;
    const bool metric = png_get_pHYs(png, info, &xPpm, &yPpm, &unit) && unit == PNG_RESOLUTION_METER;
    image.SetXDPI(metric ? pixelsPerMetreToDpi(xPpm) : 96);
    image.SetYDPI(metric ? pixelsPerMetreToDpi(yPpm) : 96);
}

void encodePixels(PngState& s, CxImage& image)
{
    png_structp png = s.png;
    png_infop info = s.info;
    const uint32_t width = uint32_t(image.GetWidth()), height = uint32_t(image.GetHeight());
    png_set_write_fn(png, &s, writeData, flushData);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
        PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color_16 background {};
    background.red = background.green = background.blue = 255;
    png_set_bKGD(png, info, &background);
    png_set_pHYs(png, info, png_uint_32(dpiToPixelsPerMetre(image.GetXDPI())),
        png_uint_32(dpiToPixelsPerMetre(image.GetYDPI())), PNG_RESOLUTION_METER);
    png_write_info(png, info);

    s.buffer = static_cast<uint8_t*>(std::malloc(size_t(width) * 3));
    if (!s.buffer)
        png_error(png, "Error saving PNG file");
    for (uint32_t y = 0; y < height; ++y) {
        dibRowToRgb(image, height - 1 - y, s.buffer);
        png_write_row(png, s.buffer);
    }
    png_write_end(png, info);
}

// libpng refuses a side over the program's limit as "Invalid IHDR data". The limit stays, but
// such a picture is one the program could never hold, and is reported as every other image that
// is too large: read the header's size first.
bool sideOverTheLimit(CxFile& file)
{
    const int64_t start = file.Tell();
    uint8_t head[24];
    const bool read = file.Read(head, 1, sizeof head) == sizeof head;
    if (!file.Seek(start, SEEK_SET) || !read || png_sig_cmp(head, 0, 8) != 0
        || std::memcmp(head + 12, "IHDR", 4) != 0)
        return false;
    const uint32_t width = png_get_uint_32(head + 16), height = png_get_uint_32(head + 20);
    // A size beyond 2^31 - 1 is not a PNG at all, as libpng will say.
    return (width > uint32_t(kMaxImageSide) || height > uint32_t(kMaxImageSide)) && width <= PNG_UINT_31_MAX
        && height <= PNG_UINT_31_MAX;
}
}

bool CxImagePNG::Decode(CxImage& image, CxFile& file)
{
    readPngMetadata(file, image);
    if (sideOverTheLimit(file)) {
        image.SetError(kRunOutOfMemory);
        return false;
    }
    std::unique_ptr<PngState> s(new (std::nothrow) PngState());
    if (!s) {
        image.SetError(kCxNoMemory);
        return false;
    }
    s->file = &file;
    s->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, s.get(), pngError, pngWarning);
    if (s->png)
        s->info = png_create_info_struct(s->png);
    if (!s->png || !s->info) {
        png_destroy_read_struct(s->png ? &s->png : nullptr, nullptr, nullptr);
        image.SetError(kCxNoMemory);
        return false;
    }
    if (setjmp(png_jmpbuf(s->png))) {
        png_destroy_read_struct(&s->png, &s->info, nullptr);
        if (!s->createFailed)
            image.SetError(s->message);
        image.Destroy();
        return false;
    }
    decodePixels(*s, image);
    png_destroy_read_struct(&s->png, &s->info, nullptr);
    return true;
}

bool CxImagePNG::Encode(CxImage& image, CxFile& file)
{
    if (!image.IsValid()) {
        image.SetError("invalid image");
        return false;
    }
    std::unique_ptr<PngState> s(new (std::nothrow) PngState());
    if (!s) {
        image.SetError("Error saving PNG file");
        return false;
    }
    s->file = &file;
    s->png = png_create_write_struct(PNG_LIBPNG_VER_STRING, s.get(), pngError, pngWarning);
    if (s->png)
        s->info = png_create_info_struct(s->png);
    if (!s->png || !s->info) {
        png_destroy_write_struct(s->png ? &s->png : nullptr, nullptr);
        image.SetError("Error saving PNG file");
        return false;
    }
    if (setjmp(png_jmpbuf(s->png))) {
        png_destroy_write_struct(&s->png, &s->info);
        image.SetError(s->message[0] ? s->message : "Error saving PNG file");
        return false;
    }
    encodePixels(*s, image);
    png_destroy_write_struct(&s->png, &s->info);
    return true;
}

} // namespace tessary
