#include "image/jpeg_metadata.h"

#include "image/cx_file.h"
#include "image/cx_image.h"
#include "image/exif_orientation.h"
#include "image/metadata_walk.h"

#include <array>
#include <cstring>
#include <new>
#include <vector>

namespace tessary {

namespace {
constexpr uint8_t kApp1 = 0xE1, kApp2 = 0xE2, kStartOfScan = 0xDA, kEndOfImage = 0xD9;
constexpr char kIccHeader[] = "ICC_PROFILE"; // 12 bytes with its NUL, then sequence and count
constexpr size_t kIccHeaderBytes = sizeof kIccHeader + 2;
// Real files have a handful of segments before the scan; a stream of thousands is hostile.
constexpr int kMaxSegments = 4096;
constexpr int kMaxFillBytes = 65536;

class IccPieces {
public:
    // Reads one APP2 segment's payload; once the profile can no longer be whole the rest are
    // skipped (the caller keeps reading for EXIF).
    void add(CxFile& file, size_t payload)
    {
        if (state_ != IccState::None && state_ != IccState::Kept)
            return;
        uint8_t head[kIccHeaderBytes];
        if (payload < kIccHeaderBytes || file.Read(head, 1, sizeof head) != sizeof head
            || std::memcmp(head, kIccHeader, sizeof kIccHeader) != 0)
            return; // some other APP2 segment
        const uint8_t sequence = head[sizeof kIccHeader], count = head[sizeof kIccHeader + 1];
        state_ = IccState::Kept;
        if (count == 0 || sequence == 0 || sequence > count || (count_ && count != count_)
            || !pieces_[sequence].empty()) {
            state_ = IccState::Broken;
            return;
        }
        count_ = count;
        const size_t bytes = payload - kIccHeaderBytes;
        if (bytes == 0) {
            state_ = IccState::Broken;
            return;
        }
        if (bytes > kMaxIccProfileBytes - total_) {
            state_ = IccState::TooLarge;
            return;
        }
        try {
            pieces_[sequence].resize(bytes);
        } catch (const std::bad_alloc&) {
            state_ = IccState::Broken;
            return;
        }
        if (file.Read(pieces_[sequence].data(), 1, bytes) != bytes) {
            state_ = IccState::Broken;
            return;
        }
        total_ += bytes;
    }

    void giveTo(CxImage& image)
    {
        if (state_ == IccState::None)
            return;
        if (state_ == IccState::Kept)
            for (unsigned i = 1; i <= count_; ++i)
                if (pieces_[i].empty())
                    state_ = IccState::Broken;
        if (state_ == IccState::TooLarge) {
            image.SetIccProfile(nullptr, kMaxIccProfileBytes + 1);
            return;
        }
        if (state_ == IccState::Broken) {
            image.SetIccBroken();
            return;
        }
        std::vector<uint8_t> whole;
        try {
            whole.reserve(total_);
            for (unsigned i = 1; i <= count_; ++i)
                whole.insert(whole.end(), pieces_[i].begin(), pieces_[i].end());
        } catch (const std::bad_alloc&) {
            image.SetIccBroken();
            return;
        }
        image.SetIccProfile(whole.data(), whole.size());
    }

private:
    std::array<std::vector<uint8_t>, 256> pieces_;
    unsigned count_ = 0;
    size_t total_ = 0;
    IccState state_ = IccState::None;
};

int nextByte(CxFile& file)
{
    uint8_t b = 0;
    return file.Read(&b, 1, 1) == 1 ? b : -1;
}

// The marker after the 0xFF that starts a segment (fill bytes 0xFF skipped); -1 when the stream
// does not continue with one.
int nextMarker(CxFile& file)
{
    if (nextByte(file) != 0xFF)
        return -1;
    for (int fill = 0; fill < kMaxFillBytes; ++fill) {
        const int b = nextByte(file);
        if (b != 0xFF)
            return b;
    }
    return -1;
}

void readSegments(CxFile& file, CxImage& image, IccPieces& icc)
{
    if (nextByte(file) != 0xFF || nextByte(file) != 0xD8)
        return;
    bool sawExif = false;
    for (int segment = 0; segment < kMaxSegments; ++segment) {
        const int marker = nextMarker(file);
        if (marker < 0 || marker == kStartOfScan || marker == kEndOfImage)
            return;
        if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01)
            continue; // markers without a length
        const int hi = nextByte(file), lo = nextByte(file);
        if (hi < 0 || lo < 0 || ((hi << 8) | lo) < 2)
            return;
        const size_t payload = size_t((hi << 8) | lo) - 2;
        const int64_t end = file.Tell() + int64_t(payload);
        if (marker == kApp1 && !sawExif && payload >= 6) {
            std::vector<uint8_t> exif(payload); // at most 65533 bytes
            if (file.Read(exif.data(), 1, payload) != payload)
                return;
            if (std::memcmp(exif.data(), "Exif\0\0", 6) == 0) {
                sawExif = true;
                image.SetOrientation(exifPayloadOrientation(exif.data(), exif.size()));
            }
        } else if (marker == kApp2) {
            icc.add(file, payload);
        }
        if (end > file.Size() || !file.Seek(end, SEEK_SET))
            return;
    }
}
}

void readJpegMetadata(CxFile& file, CxImage& image)
{
    walkThenRewind(file, image, [](CxFile& stream, CxImage& picture) {
        IccPieces icc;
        readSegments(stream, picture, icc);
        icc.giveTo(picture);
    });
}

} // namespace tessary
