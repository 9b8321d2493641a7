#include "output/write_image_file.h"

#include "image/atomic_file.h"
#include "image/bmp_writer.h"
#include "image/cx_image.h"

#include <cstdlib>

namespace tessary {

namespace {
bool holdsMetadata(uint32_t format)
{
    return format == CXIMAGE_FORMAT_JPG || format == CXIMAGE_FORMAT_PNG || format == CXIMAGE_FORMAT_TIF;
}

// Encodes in memory, writes the metadata into those bytes and saves them: the file replaced
// only ever gets a complete result, with or without its metadata.
bool saveWithMetadata(CxImage& encoded, uint32_t format, const std::string& path, const ImageMetadata& metadata)
{
    CxMemFile memory;
    if (!encoded.Encode(memory, format))
        return false;
    const std::optional<std::vector<uint8_t>> tagged = metadata.writtenInto(
        memory.Buffer(), encoded.GetWidth(), std::abs(encoded.GetHeight()));
    const std::vector<uint8_t>& bytes = tagged ? *tagged : memory.Buffer();
    return writeFileAtomically(
        path, [&](CxFile& file) { return file.Write(bytes.data(), 1, bytes.size()) == bytes.size(); });
}
}

bool writeImageFile(const PackedDib& image, const std::string& path, const ImageMetadata& metadata)
{
    const std::optional<uint32_t> format = formatFromFileName(path);
    if (!format)
        return false;
    if (*format == CXIMAGE_FORMAT_BMP)
        return writeBmpFile(image, path);
    CxImage encoded(image.data(), image.size(), CXIMAGE_FORMAT_BMP);
    if (!encoded.IsValid())
        return false;
    if (!metadata.empty() && holdsMetadata(*format))
        return saveWithMetadata(encoded, *format, path, metadata);
    return encoded.Save(path, *format);
}

} // namespace tessary
