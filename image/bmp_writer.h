#pragma once
#include "image/cx_file.h"
#include "image/packed_dib.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace tessary {

// Writes a device-independent bitmap block (header, masks, colour table, rows as PackedDib lays
// them out) as a BMP file: the 14-byte "BM" file header, the info header as held, the three
// masks of a bit-field image, a colour table of 2^bpp entries for 1, 4 and 8 bits, then the
// biSizeImage bytes of rows as in memory. False when the block is inconsistent with its header
// or a write falls short.
bool writeBmp(CxFile& file, const uint8_t* dib, size_t size);

// For a block with no colour table (more than 8 bits a pixel) whose rows end the block: the
// 14-byte file header writeBmp writes before it, when the rest of its file is the block itself,
// byte for byte. False for any other block, or one inconsistent with its header.
bool bmpFileHeader(const uint8_t* dib, size_t size, uint8_t header[14]);

// The program's own BMP writer. The file is written beside `path` and renamed over it only when
// every byte reached the disk, so an existing file survives a failed save. True on success;
// false when the file cannot be created, the image is inconsistent, or a write is short.
bool writeBmpFile(const PackedDib& dib, const std::string& path);

} // namespace tessary
