#include "output/write_image_file.h"

#include "image/bmp_writer.h"
#include "image/cx_image.h"

namespace tessary {

bool writeImageFile(const PackedDib& image, const std::string& path)
{
    const std::optional<uint32_t> format = formatFromFileName(path);
    if (!format)
        return false;
    if (*format == CXIMAGE_FORMAT_BMP)
        return writeBmpFile(image, path);
    CxImage encoded(image.data(), image.size(), CXIMAGE_FORMAT_BMP);
    return encoded.IsValid() && encoded.Save(path, *format);
}

} // namespace tessary
