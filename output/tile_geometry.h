#pragma once
#include "merge/target_zone.h"

#include <cstdint>
#include <string>

namespace tessary {

// Tile (column, row) of a W x H target cut into across x down tiles: target columns
// column * W / across up to (column + 1) * W / across, and rows (from the top of the picture)
// row * H / down up to (row + 1) * H / down. The tiles cover the target without overlap.
ImageRect tileRect(int32_t column, int32_t row, int32_t width, int32_t height, int32_t across, int32_t down);

// The file of a tile: base, the column and the row in decimal, ".", the extension
// ("photo" 2 1 "jpg" -> "photo21.jpg").
std::string tileFileName(const std::string& base, int32_t column, int32_t row, const std::string& extension);

} // namespace tessary
