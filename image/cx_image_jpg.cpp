#include "image/cx_codec_rows.h"
#include "image/cx_codecs.h"
#include "image/cx_image.h"
#include "image/jpeg_metadata.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include <jpeglib.h>

#include <jerror.h>

// libjpeg reports fatal errors through error_exit, which must not return: ours longjmps back to
// Decode/Encode. Everything that must survive the jump lives in a heap state object created
// before setjmp, and no object with a destructor is created between setjmp and a possible jump.

namespace tessary {

namespace {
constexpr size_t kStreamBufferSize = 4096;
// A progressive file can hold any number of scans, each one a full pass over the image;
// a small hostile file could keep the decoder busy for minutes.
constexpr int kMaxScans = 500;
// Whole-image buffers of progressive and multi-scan files; there is no backing store, so
// going past this fails the decode instead of exhausting memory.
constexpr long kMaxDecoderMemory = 512L * 1024 * 1024;

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void errorExit(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

[[noreturn]] void failWith(j_common_ptr cinfo, const char* text)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::snprintf(err->message, sizeof err->message, "%s", text);
    std::longjmp(err->jump, 1);
}

// Warnings are never printed; the decoder decides which of them end the decode.
void outputMessage(j_common_ptr) { }

// ---- decoding

struct SourceManager {
    jpeg_source_mgr pub;
    CxFile* file;
    bool startOfFile;
    bool hitEnd;
    JOCTET buffer[kStreamBufferSize];
};

struct DecodeState {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    SourceManager source;
    jpeg_progress_mgr progress;
    bool created = false;
};

void initSource(j_decompress_ptr cinfo)
{
    reinterpret_cast<SourceManager*>(cinfo->src)->startOfFile = true;
}

boolean fillInputBuffer(j_decompress_ptr cinfo)
{
    auto* src = reinterpret_cast<SourceManager*>(cinfo->src);
    size_t got = src->file->Read(src->buffer, 1, kStreamBufferSize);
    if (got == 0) {
        if (src->startOfFile)
            ERREXIT(cinfo, JERR_INPUT_EMPTY);
        // Hand the decoder an end-of-image marker so it can finish what it has; whether
        // the missing data matters is decided in emitMessage.
        src->hitEnd = true;
        WARNMS(cinfo, JWRN_JPEG_EOF);
        src->buffer[0] = JOCTET(0xFF);
        src->buffer[1] = JOCTET(JPEG_EOI);
        got = 2;
    }
    src->pub.next_input_byte = src->buffer;
    src->pub.bytes_in_buffer = got;
    src->startOfFile = false;
    return TRUE;
}

void skipInputData(j_decompress_ptr cinfo, long count)
{
    auto* src = reinterpret_cast<SourceManager*>(cinfo->src);
    if (count <= 0)
        return;
    while (count > long(src->pub.bytes_in_buffer)) {
        count -= long(src->pub.bytes_in_buffer);
        (void)(*src->pub.fill_input_buffer)(cinfo);
    }
    src->pub.next_input_byte += size_t(count);
    src->pub.bytes_in_buffer -= size_t(count);
}

void termSource(j_decompress_ptr) { }

// A file cut short leaves the decoder short of entropy data inside a scan: that is an
// error, not a picture with a grey bottom. A stream that only lacks its final marker
// decodes normally. Corrupt but complete data stays a warning, as libjpeg intends.
void emitMessage(j_common_ptr cinfo, int level)
{
    if (level >= 0)
        return;
    cinfo->err->num_warnings++;
    if (!cinfo->is_decompressor)
        return;
    auto* src = reinterpret_cast<SourceManager*>(reinterpret_cast<j_decompress_ptr>(cinfo)->src);
    if (cinfo->err->msg_code == JWRN_HIT_MARKER && src->hitEnd) {
        cinfo->err->msg_code = JWRN_JPEG_EOF;
        errorExit(cinfo);
    }
}

void progressMonitor(j_common_ptr cinfo)
{
    if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans)
        failWith(cinfo, "Too many scans in JPEG file");
}

int32_t densityToDpi(int unit, unsigned density)
{
    if (density == 0)
        return 96;
    if (unit == 1)
        return int32_t(density);
    if (unit == 2) // dots per centimetre
        return int32_t(double(density) * 2.54 + 0.5);
    return 96;
}

uint8_t mul255(unsigned a, unsigned b)
{
    return uint8_t((a * b + 127) / 255);
}

// Reads the pixels into the image; may longjmp out through errorExit.
void decodePixels(DecodeState& s, CxImage& image)
{
    jpeg_decompress_struct& cinfo = s.cinfo;
    jpeg_read_header(&cinfo, TRUE);

    uint32_t bpp = 24;
    switch (cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
        cinfo.out_color_space = JCS_GRAYSCALE;
        bpp = 8;
        break;
    case JCS_YCbCr:
    case JCS_RGB:
        cinfo.out_color_space = JCS_EXT_BGR;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        cinfo.out_color_space = JCS_CMYK;
        break;
    default:
        failWith(reinterpret_cast<j_common_ptr>(&cinfo), "Unsupported JPEG color space");
    }

    // Check the size before the decoder allocates its own buffers for it.
    if (!image.Create(cinfo.image_width, cinfo.image_height, bpp, CXIMAGE_FORMAT_JPG))
        longjmp(s.err.jump, 2);
    if (bpp == 8)
        image.SetGrayPalette();
    // 96 dpi unless the JFIF header gives a density.
    const bool jfif = cinfo.saw_JFIF_marker;
    image.SetXDPI(jfif ? densityToDpi(cinfo.density_unit, cinfo.X_density) : 96);
    image.SetYDPI(jfif ? densityToDpi(cinfo.density_unit, cinfo.Y_density) : 96);

    jpeg_start_decompress(&cinfo);
    // A multi-scan file is read whole by jpeg_start_decompress; running out of data there
    // means scans are missing.
    if (s.source.hitEnd && jpeg_has_multiple_scans(&cinfo)) {
        cinfo.err->msg_code = JWRN_JPEG_EOF;
        errorExit(reinterpret_cast<j_common_ptr>(&cinfo));
    }
    const uint32_t width = cinfo.output_width, height = cinfo.output_height;
    const bool cmyk = cinfo.out_color_space == JCS_CMYK;
    // Buffers come from libjpeg's pools: freed with the decoder, even after a jump.
    JSAMPARRAY cmykRow = cmyk
        ? (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE, width * 4, 1)
        : nullptr;
    // Adobe writes CMYK inverted (0 = full ink).
    const bool inverted = cinfo.saw_Adobe_marker;
    while (cinfo.output_scanline < height) {
        uint8_t* dib = image.GetBits(height - 1 - cinfo.output_scanline);
        JSAMPROW row = cmyk ? cmykRow[0] : dib;
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1)
            failWith(reinterpret_cast<j_common_ptr>(&cinfo), "Corrupted JPEG file");
        if (!cmyk)
            continue;
        for (uint32_t x = 0; x < width; ++x) {
            unsigned c = row[4 * x], m = row[4 * x + 1], y = row[4 * x + 2], k = row[4 * x + 3];
            if (!inverted) {
                c = 255 - c;
                m = 255 - m;
                y = 255 - y;
                k = 255 - k;
            }
            dib[3 * x] = mul255(y, k);
            dib[3 * x + 1] = mul255(m, k);
            dib[3 * x + 2] = mul255(c, k);
        }
    }
    jpeg_finish_decompress(&cinfo);
}

// ---- encoding

struct DestinationManager {
    jpeg_destination_mgr pub;
    CxFile* file;
    JOCTET buffer[kStreamBufferSize];
};

struct EncodeState {
    jpeg_compress_struct cinfo;
    ErrorManager err;
    DestinationManager destination;
    bool created = false;
};

void initDestination(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<DestinationManager*>(cinfo->dest);
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = kStreamBufferSize;
}

boolean emptyOutputBuffer(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<DestinationManager*>(cinfo->dest);
    if (dest->file->Write(dest->buffer, 1, kStreamBufferSize) != kStreamBufferSize)
        ERREXIT(cinfo, JERR_FILE_WRITE);
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = kStreamBufferSize;
    return TRUE;
}

void termDestination(j_compress_ptr cinfo)
{
    auto* dest = reinterpret_cast<DestinationManager*>(cinfo->dest);
    const size_t pending = kStreamBufferSize - dest->pub.free_in_buffer;
    if (pending > 0 && dest->file->Write(dest->buffer, 1, pending) != pending)
        ERREXIT(cinfo, JERR_FILE_WRITE);
}

uint16_t densityValue(int32_t dpi)
{
    return uint16_t(dpi < 1 ? 96 : dpi > 65535 ? 65535 : dpi);
}

void encodePixels(EncodeState& s, CxImage& image)
{
    jpeg_compress_struct& cinfo = s.cinfo;
    const uint32_t width = uint32_t(image.GetWidth()), height = uint32_t(image.GetHeight());
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, int(image.GetJpegQuality()), FALSE);
    cinfo.optimize_coding = FALSE;
    // 4:2:0: luminance at full resolution, chrominance halved both ways.
    cinfo.comp_info[0].h_samp_factor = 2;
    cinfo.comp_info[0].v_samp_factor = 2;
    for (int c = 1; c < 3; ++c) {
        cinfo.comp_info[c].h_samp_factor = 1;
        cinfo.comp_info[c].v_samp_factor = 1;
    }
    cinfo.write_JFIF_header = TRUE;
    cinfo.density_unit = 1;
    cinfo.X_density = densityValue(image.GetXDPI());
    cinfo.Y_density = densityValue(image.GetYDPI());

    jpeg_start_compress(&cinfo, TRUE);
    JSAMPARRAY row
        = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE, width * 3, 1);
    while (cinfo.next_scanline < height) {
        dibRowToRgb(image, height - 1 - cinfo.next_scanline, row[0]);
        jpeg_write_scanlines(&cinfo, row, 1);
    }
    jpeg_finish_compress(&cinfo);
}
}

bool CxImageJPG::Decode(CxImage& image, CxFile& file)
{
    // Orientation and colour profile come from our own reading of the markers, before libjpeg
    // sees the stream: libjpeg would keep every saved marker, however many a file holds.
    readJpegMetadata(file, image);
    std::unique_ptr<DecodeState> s(new (std::nothrow) DecodeState());
    if (!s) {
        image.SetError(kCxNoMemory);
        return false;
    }
    s->cinfo.err = jpeg_std_error(&s->err.pub);
    s->err.pub.error_exit = errorExit;
    s->err.pub.output_message = outputMessage;
    s->err.pub.emit_message = emitMessage;
    s->err.message[0] = '\0';

    const int jumped = setjmp(s->err.jump);
    if (jumped) {
        if (s->created)
            jpeg_destroy_decompress(&s->cinfo);
        // 2: CxImage::Create refused the size and has set the error text already.
        if (jumped != 2)
            image.SetError(s->err.message);
        image.Destroy();
        return false;
    }
    jpeg_create_decompress(&s->cinfo);
    s->created = true;
    s->cinfo.mem->max_memory_to_use = kMaxDecoderMemory;
    s->progress.progress_monitor = progressMonitor;
    s->cinfo.progress = &s->progress;

    s->source.pub.init_source = initSource;
    s->source.pub.fill_input_buffer = fillInputBuffer;
    s->source.pub.skip_input_data = skipInputData;
    s->source.pub.resync_to_restart = jpeg_resync_to_restart;
    s->source.pub.term_source = termSource;
    s->source.pub.bytes_in_buffer = 0;
    s->source.pub.next_input_byte = nullptr;
    s->source.file = &file;
    s->source.startOfFile = true;
    s->source.hitEnd = false;
    s->cinfo.src = &s->source.pub;

    decodePixels(*s, image);
    jpeg_destroy_decompress(&s->cinfo);
    return true;
}

bool CxImageJPG::Encode(CxImage& image, CxFile& file)
{
    if (!image.IsValid()) {
        image.SetError("invalid image");
        return false;
    }
    std::unique_ptr<EncodeState> s(new (std::nothrow) EncodeState());
    if (!s) {
        image.SetError(kCxNoMemory);
        return false;
    }
    s->cinfo.err = jpeg_std_error(&s->err.pub);
    s->err.pub.error_exit = errorExit;
    s->err.pub.output_message = outputMessage;
    s->err.message[0] = '\0';

    if (setjmp(s->err.jump)) {
        if (s->created)
            jpeg_destroy_compress(&s->cinfo);
        image.SetError(s->err.message);
        return false;
    }
    jpeg_create_compress(&s->cinfo);
    s->created = true;
    s->destination.pub.init_destination = initDestination;
    s->destination.pub.empty_output_buffer = emptyOutputBuffer;
    s->destination.pub.term_destination = termDestination;
    s->destination.file = &file;
    s->cinfo.dest = &s->destination.pub;

    encodePixels(*s, image);
    jpeg_destroy_compress(&s->cinfo);
    return true;
}

} // namespace tessary
