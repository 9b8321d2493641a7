#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace tessary {

// The byte stream every codec reads from and writes to, so decoders can be fed from a file
// or from memory (the save path and the fuzzers use memory).
class CxFile {
public:
    virtual ~CxFile() = default;
    // fread/fwrite semantics: returns the number of whole items transferred.
    virtual size_t Read(void* buffer, size_t size, size_t count) = 0;
    virtual size_t Write(const void* buffer, size_t size, size_t count) = 0;
    // origin is SEEK_SET, SEEK_CUR or SEEK_END; false when the position would be negative.
    virtual bool Seek(int64_t offset, int origin) = 0;
    virtual int64_t Tell() = 0;
    virtual int64_t Size() = 0;
    virtual bool Flush() = 0;
    virtual bool Eof() = 0;
    virtual bool Error() = 0;
    // One byte, or -1 at the end.
    virtual int GetC();
    virtual bool PutC(uint8_t c);
    // Bytes left from the current position to the end (0 when unknown or past the end).
    int64_t Remaining();
};

// A file on disk through stdio.
class CxIOFile : public CxFile {
public:
    CxIOFile() = default;
    ~CxIOFile() override;
    CxIOFile(const CxIOFile&) = delete;
    CxIOFile& operator=(const CxIOFile&) = delete;

    bool Open(const std::string& path, const char* mode);
    // Takes over an already open stream (closed by Close or the destructor).
    void Attach(std::FILE* stream) { stream_ = stream; }
    // Closes the stream; false when the final flush or close failed (a short write).
    bool Close();
    bool IsOpen() const { return stream_ != nullptr; }

    size_t Read(void* buffer, size_t size, size_t count) override;
    size_t Write(const void* buffer, size_t size, size_t count) override;
    bool Seek(int64_t offset, int origin) override;
    int64_t Tell() override;
    int64_t Size() override;
    bool Flush() override;
    bool Eof() override;
    bool Error() override;

private:
    std::FILE* stream_ = nullptr;
};

// A block of memory: read-only over a caller's buffer, or a growing buffer to write into.
class CxMemFile : public CxFile {
public:
    // An empty, growing buffer.
    CxMemFile() = default;
    // Reads the caller's bytes (not copied; they must outlive this object).
    CxMemFile(const uint8_t* data, size_t size);

    const std::vector<uint8_t>& Buffer() const { return owned_; }

    size_t Read(void* buffer, size_t size, size_t count) override;
    size_t Write(const void* buffer, size_t size, size_t count) override;
    bool Seek(int64_t offset, int origin) override;
    int64_t Tell() override { return position_; }
    int64_t Size() override { return int64_t(size()); }
    bool Flush() override { return true; }
    bool Eof() override { return position_ >= int64_t(size()); }
    bool Error() override { return false; }

private:
    size_t size() const { return external_ ? externalSize_ : owned_.size(); }
    const uint8_t* external_ = nullptr;
    size_t externalSize_ = 0;
    std::vector<uint8_t> owned_;
    int64_t position_ = 0;
};

} // namespace tessary
