#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace tessary {

// The image file formats the program reads and writes, and the endings that name them. Each
// format has the three-letter ending it has always had (the last three characters of a name,
// whatever its case) and the longer or older endings people also use for it.
struct FileFormat {
    uint32_t code; // the codec layer's format code
    const char* name; // for messages: "JPEG"
    const char* ending; // "jpg"
    const char* otherEndings[3]; // "jpeg", "jpe", "jfif"; unused entries are null
};

extern const FileFormat kFileFormats[6];

// The format a file name names: its last three characters, lower-cased, are one of the six
// endings (bmp, jpg, png, tif, tga, pcx), or the part after its last dot is another ending of
// one of them (jpeg, jpe, jfif, tiff). Nothing for any other name. A file is written in this
// format and read with its decoder first.
std::optional<uint32_t> formatFromFileName(const std::string& path);

// The format an ending (the part of a name after its last dot, any case) names: one of the six
// or another ending of one of them. Nothing for any other ending.
std::optional<uint32_t> formatFromEnding(const std::string& ending);

// The format's entry; null for a code that is none of the six.
const FileFormat* fileFormat(uint32_t code);

// The formats' names for a message: "BMP, JPEG, PNG, TIFF, TGA or PCX".
std::string formatNames();

// What a file that none of the decoders reads seems to be, from its first bytes: "a GIF
// picture", "a WebP picture", "a PDF document", "a text file", "an empty file"... or
// "something else".
std::string describeFileContent(const uint8_t* bytes, size_t size);

} // namespace tessary
