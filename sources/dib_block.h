#pragma once
#include "image/packed_dib.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace tessary {

// A device-independent bitmap block from outside the program (the clipboard) as a PackedDib the
// pixel accessors can read: a 40-byte header, the bit-field masks of a 16-bit image, the colour
// table, then the rows bottom-up (a top-down block is turned over). Null when the block is not
// one the program can read: a header that does not fit or is shorter than 40 bytes, a side of 0
// or above 20000 pixels, a depth other than 1, 4, 8, 16, 24 or 32 bits, compression other than
// none (or bit fields on 16 bits with masks of 16 bits, and on 32 bits with the usual masks), a
// colour table larger than the depth allows or, on 1 bit, of one entry, a colour table or rows
// that do not fit in the block, more than 200,000,000 bytes, or no memory. What it gives, the
// pixel accessors read whole.
std::unique_ptr<PackedDib> dibFromBlock(const std::vector<uint8_t>& block);

} // namespace tessary
