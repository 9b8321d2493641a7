#pragma once
// Small helpers for the codec tests: building CxImages, reading their pixels in display order,
// encoding to memory and a scratch folder on disk.
#include "image/cx_file.h"
#include "image/cx_image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace tessary::testing {

struct Rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Rgb& c)
{
    return out << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

// Colour of pixel (x, y) with y counted from the top of the picture, through the colour table
// for indexed images.
inline Rgb colourAt(CxImage& image, uint32_t x, uint32_t y)
{
    const uint8_t* row = image.GetBits(uint32_t(image.GetHeight()) - 1 - y);
    const uint16_t bpp = image.GetBpp();
    if (bpp == 24)
        return { row[3 * x + 2], row[3 * x + 1], row[3 * x] };
    uint32_t index = 0;
    if (bpp == 8)
        index = row[x];
    else if (bpp == 4)
        index = (row[x / 2] >> ((x & 1) ? 0 : 4)) & 0x0F;
    else
        index = (row[x / 8] >> (7 - (x & 7))) & 1;
    const uint8_t* entry = image.GetPalette() + 4 * size_t(index);
    return { entry[2], entry[1], entry[0] };
}

inline uint8_t alphaAt(CxImage& image, uint32_t x, uint32_t y)
{
    return image.AlphaGet(x, uint32_t(image.GetHeight()) - 1 - y);
}

// A 24-bit image whose pixel (x, y from the top) is colour(x, y).
template <class F> void fill24(CxImage& image, uint32_t width, uint32_t height, F colour)
{
    ASSERT_NE(image.Create(width, height, 24, CXIMAGE_FORMAT_BMP), nullptr) << image.GetLastErrorText();
    for (uint32_t y = 0; y < height; ++y) {
        uint8_t* row = image.GetBits(height - 1 - y);
        for (uint32_t x = 0; x < width; ++x) {
            const Rgb c = colour(x, y);
            row[3 * x] = uint8_t(c.b);
            row[3 * x + 1] = uint8_t(c.g);
            row[3 * x + 2] = uint8_t(c.r);
        }
    }
}

// A smooth picture with distinct channels and different top and bottom, so that swapped
// channels, flipped rows and large coding errors all show.
inline Rgb smoothColour(uint32_t x, uint32_t y)
{
    return { int(40 + x * 4 % 180), int(30 + y * 5 % 200), int(200 - (x + y) % 150) };
}

inline std::vector<uint8_t> encodeToMemory(CxImage& image, uint32_t format)
{
    CxMemFile memory;
    EXPECT_TRUE(image.Encode(memory, format)) << image.GetLastErrorText();
    return memory.Buffer();
}

// A memory stream that takes only the first `capacity` bytes written, like a disk that fills up.
class FullDiskFile : public CxFile {
public:
    explicit FullDiskFile(size_t capacity)
        : capacity_(capacity)
    {
    }
    size_t Read(void* buffer, size_t size, size_t count) override
    {
        return memory_.Read(buffer, size, count);
    }
    size_t Write(const void* buffer, size_t size, size_t count) override
    {
        if (size == 0 || uint64_t(memory_.Tell()) + uint64_t(size) * count > capacity_)
            return 0;
        return memory_.Write(buffer, size, count);
    }
    bool Seek(int64_t offset, int origin) override { return memory_.Seek(offset, origin); }
    int64_t Tell() override { return memory_.Tell(); }
    int64_t Size() override { return memory_.Size(); }
    bool Flush() override { return true; }
    bool Eof() override { return memory_.Eof(); }
    bool Error() override { return false; }

private:
    size_t capacity_;
    CxMemFile memory_;
};

// A folder of its own under the system temporary folder, removed with everything in it.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tessary-codec-XXXXXX").string();
        std::vector<char> name(pattern.begin(), pattern.end());
        name.push_back('\0');
        if (mkdtemp(name.data()))
            path_ = name.data();
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        if (!path_.empty())
            std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string file(const std::string& name) const { return (std::filesystem::path(path_) / name).string(); }

    std::string write(const std::string& name, const std::vector<uint8_t>& bytes) const
    {
        const std::string path = file(name);
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path;
    }

    static std::vector<uint8_t> read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::string path_;
};

} // namespace tessary::testing
