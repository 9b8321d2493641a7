#pragma once
#include "image/byte_block.h"
#include "image/cx_file.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>

namespace tessary {

// Buffered reading of a bounded stretch of a CxFile, for the run-length decoders that consume
// one byte at a time. Reads at most `limit` bytes from the file's current position, so a
// decoder can keep trailing data (a palette at the end of the file) out of the pixel stream.
class CxByteReader {
public:
    CxByteReader(CxFile& file, int64_t limit)
        : file_(file)
        , left_(std::max<int64_t>(limit, 0))
        , capacity_(size_t(std::min<int64_t>(left_, kChunk)))
        , buffer_(allocateBytes(capacity_))
    {
    }

    // False when there was no memory for the buffer; nothing can be read then.
    bool valid() const { return buffer_ != nullptr; }

    // False at the end of the stretch or when the file ends early.
    bool get(uint8_t& byte)
    {
        if (pos_ == end_ && !refill())
            return false;
        byte = buffer_[pos_++];
        return true;
    }

    // Copies exactly `count` bytes; false when fewer are left.
    bool read(uint8_t* target, size_t count)
    {
        while (count > 0) {
            if (pos_ == end_ && !refill())
                return false;
            const size_t n = std::min(count, end_ - pos_);
            std::memcpy(target, buffer_.get() + pos_, n);
            pos_ += n;
            target += n;
            count -= n;
        }
        return true;
    }

    // Bytes of the stretch not yet consumed (buffered or still in the file).
    int64_t remaining() const { return left_ + int64_t(end_ - pos_); }

private:
    static constexpr int64_t kChunk = 65536;

    bool refill()
    {
        if (left_ <= 0 || !buffer_)
            return false;
        const size_t want = size_t(std::min<int64_t>(left_, int64_t(capacity_)));
        const size_t got = file_.Read(buffer_.get(), 1, want);
        if (got == 0) {
            left_ = 0;
            return false;
        }
        left_ -= int64_t(got);
        pos_ = 0;
        end_ = got;
        return true;
    }

    CxFile& file_;
    int64_t left_;
    size_t capacity_;
    std::unique_ptr<uint8_t[]> buffer_;
    size_t pos_ = 0;
    size_t end_ = 0;
};

} // namespace tessary
