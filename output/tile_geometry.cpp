#include "output/tile_geometry.h"

namespace tessary {

ImageRect tileRect(int32_t column, int32_t row, int32_t width, int32_t height, int32_t across, int32_t down)
{
    if (across < 1)
        across = 1;
    if (down < 1)
        down = 1;
    const int64_t left = int64_t(column) * width / across, right = (int64_t(column) + 1) * width / across;
    const int64_t top = int64_t(row) * height / down, bottom = (int64_t(row) + 1) * height / down;
    return ImageRect { int32_t(left), int32_t(top), int32_t(right - left), int32_t(bottom - top) };
}

std::string tileFileName(const std::string& base, int32_t column, int32_t row, const std::string& extension)
{
    return base + std::to_string(column) + std::to_string(row) + "." + extension;
}

} // namespace tessary
