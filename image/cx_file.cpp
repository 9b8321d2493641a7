#include "image/cx_file.h"

#include <cstring>
#include <limits>
#include <new>

namespace tessary {

int CxFile::GetC()
{
    uint8_t c = 0;
    return Read(&c, 1, 1) == 1 ? int(c) : -1;
}

bool CxFile::PutC(uint8_t c)
{
    return Write(&c, 1, 1) == 1;
}

int64_t CxFile::Remaining()
{
    const int64_t size = Size(), position = Tell();
    return size > position && position >= 0 ? size - position : 0;
}

CxIOFile::~CxIOFile()
{
    Close();
}

bool CxIOFile::Open(const std::string& path, const char* mode)
{
    Close();
    stream_ = std::fopen(path.c_str(), mode);
    return stream_ != nullptr;
}

bool CxIOFile::Close()
{
    if (!stream_)
        return true;
    const bool hadError = std::ferror(stream_) != 0;
    const bool closed = std::fclose(stream_) == 0;
    stream_ = nullptr;
    return closed && !hadError;
}

size_t CxIOFile::Read(void* buffer, size_t size, size_t count)
{
    return stream_ ? std::fread(buffer, size, count, stream_) : 0;
}

size_t CxIOFile::Write(const void* buffer, size_t size, size_t count)
{
    return stream_ ? std::fwrite(buffer, size, count, stream_) : 0;
}

bool CxIOFile::Seek(int64_t offset, int origin)
{
    return stream_ && fseeko(stream_, off_t(offset), origin) == 0;
}

int64_t CxIOFile::Tell()
{
    return stream_ ? int64_t(ftello(stream_)) : -1;
}

int64_t CxIOFile::Size()
{
    if (!stream_)
        return -1;
    const off_t here = ftello(stream_);
    if (fseeko(stream_, 0, SEEK_END) != 0)
        return -1;
    const off_t end = ftello(stream_);
    fseeko(stream_, here, SEEK_SET);
    return int64_t(end);
}

bool CxIOFile::Flush()
{
    return stream_ && std::fflush(stream_) == 0;
}
bool CxIOFile::Eof()
{
    return !stream_ || std::feof(stream_) != 0;
}
bool CxIOFile::Error()
{
    return !stream_ || std::ferror(stream_) != 0;
}

CxMemFile::CxMemFile(const uint8_t* data, size_t size)
    : external_(data)
    , externalSize_(size)
{
}

size_t CxMemFile::Read(void* buffer, size_t size, size_t count)
{
    if (size == 0 || count == 0 || position_ >= int64_t(this->size()))
        return 0;
    const size_t available = this->size() - size_t(position_);
    const size_t items = std::min(count, available / size);
    const uint8_t* base = external_ ? external_ : owned_.data();
    std::memcpy(buffer, base + position_, items * size);
    position_ += int64_t(items * size);
    return items;
}

size_t CxMemFile::Write(const void* buffer, size_t size, size_t count)
{
    if (external_ || size == 0 || count == 0)
        return 0;
    if (count > std::numeric_limits<size_t>::max() / size)
        return 0;
    const size_t bytes = size * count;
    const size_t end = size_t(position_) + bytes;
    if (end > owned_.size()) {
        try {
            owned_.resize(end);
        } catch (const std::bad_alloc&) {
            return 0; // out of memory reads like a full disk: a short write
        }
    }
    std::memcpy(owned_.data() + position_, buffer, bytes);
    position_ = int64_t(end);
    return count;
}

bool CxMemFile::Seek(int64_t offset, int origin)
{
    int64_t base = 0;
    if (origin == SEEK_CUR)
        base = position_;
    else if (origin == SEEK_END)
        base = int64_t(size());
    if (offset < 0 && base < -offset)
        return false;
    position_ = base + offset;
    return true;
}

} // namespace tessary
