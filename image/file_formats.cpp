#include "image/file_formats.h"

#include "image/cx_image.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string_view>

namespace tessary {

using namespace std::string_view_literals;

const FileFormat kFileFormats[6] = {
    { CXIMAGE_FORMAT_BMP, "BMP", "bmp", { nullptr, nullptr, nullptr } },
    { CXIMAGE_FORMAT_JPG, "JPEG", "jpg", { "jpeg", "jpe", "jfif" } },
    { CXIMAGE_FORMAT_PNG, "PNG", "png", { nullptr, nullptr, nullptr } },
    { CXIMAGE_FORMAT_TIF, "TIFF", "tif", { "tiff", nullptr, nullptr } },
    { CXIMAGE_FORMAT_TGA, "TGA", "tga", { nullptr, nullptr, nullptr } },
    { CXIMAGE_FORMAT_PCX, "PCX", "pcx", { nullptr, nullptr, nullptr } },
};

namespace {
std::string lowerCased(std::string text)
{
    std::transform(
        text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

bool startsWith(const uint8_t* bytes, size_t size, size_t at, std::string_view text)
{
    return size >= at + text.size() && std::memcmp(bytes + at, text.data(), text.size()) == 0;
}
}

std::optional<uint32_t> formatFromFileName(const std::string& path)
{
    if (path.size() >= 3) {
        const std::string last3 = lowerCased(path.substr(path.size() - 3));
        for (const FileFormat& f : kFileFormats)
            if (last3 == f.ending)
                return f.code;
    }
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::nullopt;
    return formatFromEnding(path.substr(dot + 1));
}

std::optional<uint32_t> formatFromEnding(const std::string& ending)
{
    const std::string lower = lowerCased(ending);
    for (const FileFormat& f : kFileFormats) {
        if (lower == f.ending)
            return f.code;
        for (const char* other : f.otherEndings)
            if (other && lower == other)
                return f.code;
    }
    return std::nullopt;
}

const FileFormat* fileFormat(uint32_t code)
{
    for (const FileFormat& f : kFileFormats)
        if (f.code == code)
            return &f;
    return nullptr;
}

std::string formatNames()
{
    std::string names;
    const size_t count = std::size(kFileFormats);
    for (size_t i = 0; i < count; ++i)
        names += std::string(i == 0 ? "" : i + 1 == count ? " or " : ", ") + kFileFormats[i].name;
    return names;
}

std::string describeFileContent(const uint8_t* bytes, size_t size)
{
    if (size == 0)
        return "an empty file";
    if (startsWith(bytes, size, 0, "GIF87a") || startsWith(bytes, size, 0, "GIF89a"))
        return "a GIF picture";
    if (startsWith(bytes, size, 0, "RIFF") && startsWith(bytes, size, 8, "WEBP"))
        return "a WebP picture";
    if (startsWith(bytes, size, 4, "ftypavif") || startsWith(bytes, size, 4, "ftypavis"))
        return "an AVIF picture";
    for (const char* brand : { "ftypheic", "ftypheix", "ftypmif1", "ftypmsf1", "ftyphevc" })
        if (startsWith(bytes, size, 4, brand))
            return "a HEIF (HEIC) picture";
    if (startsWith(bytes, size, 0, "\x00\x00\x00\x0CjP  "sv) || startsWith(bytes, size, 0, "\xFF\x4F\xFF\x51"))
        return "a JPEG 2000 picture";
    if (startsWith(bytes, size, 0, "\xFF\x0A") || startsWith(bytes, size, 4, "JXL "))
        return "a JPEG XL picture";
    if (startsWith(bytes, size, 0, "8BPS"))
        return "a Photoshop document";
    if (startsWith(bytes, size, 0, "%PDF"))
        return "a PDF document";
    if (startsWith(bytes, size, 0, "PK\x03\x04"))
        return "a ZIP archive";
    if (startsWith(bytes, size, 0, "<svg") || startsWith(bytes, size, 0, "<?xml"))
        return "an SVG or other XML file";
    // Mostly printable bytes (tabs and line ends allowed) make a text file.
    const size_t checked = std::min<size_t>(size, 512);
    const size_t printable = size_t(std::count_if(bytes, bytes + checked, [](uint8_t c) {
        return c == '\t' || c == '\n' || c == '\r' || (c >= 0x20 && c != 0x7F);
    }));
    if (printable * 100 >= checked * 95)
        return "a text file";
    return "something else";
}

} // namespace tessary
