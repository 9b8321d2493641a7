#include "image/png_metadata.h"

#include "image/cx_file.h"
#include "image/cx_image.h"
#include "image/exif_orientation.h"
#include "image/metadata_walk.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <zlib.h>

namespace tessary {

namespace {
constexpr uint8_t kSignature[8] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
// The orientation sits in the first directory, at the start of the block.
constexpr size_t kExifBytesRead = 65536;
// Compressed profiles are smaller than the profile they hold, which may be at most the limit.
constexpr size_t kMaxCompressedProfile = kMaxIccProfileBytes;
constexpr int kMaxChunks = 100000;

uint32_t bigEndian32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

bool readExact(CxFile& file, std::vector<uint8_t>& bytes, size_t count)
{
    bytes.resize(count);
    return file.Read(bytes.data(), 1, count) == count;
}

// The iCCP payload: a name of 1 to 79 bytes, NUL, method 0, then a zlib stream.
void keepProfile(const std::vector<uint8_t>& chunk, CxImage& image)
{
    const void* nul = chunk.empty() ? nullptr : std::memchr(chunk.data(), 0, std::min<size_t>(chunk.size(), 80));
    const size_t nameEnd = nul ? size_t(static_cast<const uint8_t*>(nul) - chunk.data()) : 0;
    if (nameEnd == 0 || nameEnd + 2 > chunk.size() || chunk[nameEnd + 1] != 0) {
        image.SetIccBroken();
        return;
    }
    // Inflated a piece at a time, so a small profile costs little and a large one stops at the
    // limit.
    constexpr size_t kPiece = 65536;
    std::vector<uint8_t> profile;
    z_stream z {};
    if (inflateInit(&z) != Z_OK) {
        image.SetIccBroken();
        return;
    }
    // The stream's state is released however this ends, running out of memory included.
    struct StreamEnd {
        z_stream& z;
        ~StreamEnd() { inflateEnd(&z); }
    } end { z };
    z.next_in = const_cast<Bytef*>(chunk.data() + nameEnd + 2);
    z.avail_in = uInt(chunk.size() - nameEnd - 2);
    int result = Z_OK;
    while (result == Z_OK && profile.size() <= kMaxIccProfileBytes) {
        const size_t had = profile.size();
        profile.resize(had + kPiece);
        z.next_out = profile.data() + had;
        z.avail_out = uInt(kPiece);
        result = inflate(&z, Z_NO_FLUSH);
        profile.resize(had + kPiece - z.avail_out);
    }
    if (profile.size() > kMaxIccProfileBytes)
        image.SetIccProfile(nullptr, kMaxIccProfileBytes + 1);
    else if (result == Z_STREAM_END) // anything else: a stream cut short or damaged
        image.SetIccProfile(profile.data(), profile.size());
    else
        image.SetIccBroken();
}

void readChunks(CxFile& file, CxImage& image)
{
    uint8_t head[8];
    if (file.Read(head, 1, 8) != 8 || std::memcmp(head, kSignature, 8) != 0)
        return;
    std::vector<uint8_t> data;
    bool sawExif = false, sawProfile = false;
    for (int chunk = 0; chunk < kMaxChunks; ++chunk) {
        if (file.Read(head, 1, 8) != 8)
            return;
        const uint32_t length = bigEndian32(head);
        if (length > 0x7FFFFFFFu || std::memcmp(head + 4, "IDAT", 4) == 0 || std::memcmp(head + 4, "IEND", 4) == 0)
            return;
        const int64_t next = file.Tell() + int64_t(length) + 4; // data, then the CRC
        if (next > file.Size())
            return; // cut short, or a length no file here has
        if (!sawExif && std::memcmp(head + 4, "eXIf", 4) == 0) {
            sawExif = true;
            const size_t count = std::min<size_t>(length, kExifBytesRead);
            if (!readExact(file, data, count))
                return;
            image.SetOrientation(exifPayloadOrientation(data.data(), data.size()));
        } else if (!sawProfile && std::memcmp(head + 4, "iCCP", 4) == 0) {
            sawProfile = true;
            if (length > kMaxCompressedProfile)
                image.SetIccProfile(nullptr, kMaxIccProfileBytes + 1);
            else if (!readExact(file, data, length))
                image.SetIccBroken();
            else
                keepProfile(data, image);
        }
        if (!file.Seek(next, SEEK_SET))
            return;
    }
}
}

void readPngMetadata(CxFile& file, CxImage& image)
{
    walkThenRewind(file, image, readChunks);
}

} // namespace tessary
