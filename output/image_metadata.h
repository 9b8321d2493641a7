#pragma once
#include "app/setting_range.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tessary {

// Whether a saved picture keeps the metadata of a source (0 no, 1 yes); starts on.
inline constexpr SettingRange kKeepMetadataRange { 0, 1, 1 };

// The EXIF, IPTC and XMP of one picture file, to be carried into a file made from it. Exiv2
// reads and writes them; nothing of Exiv2 leaves this interface: its exceptions are caught here,
// its messages are silenced, and it is never handed a file larger than kMaxFileBytes. A file
// whose metadata cannot be read has none; metadata that cannot be written is left out of the
// file, which is saved all the same.
class ImageMetadata {
public:
    // Larger files are not read for metadata at all.
    static constexpr int64_t kMaxFileBytes = int64_t(1) << 30;
    // Each of EXIF, IPTC and XMP larger than this, once read, is dropped.
    static constexpr size_t kMaxBlockBytes = size_t(16) << 20;

    ImageMetadata();
    ~ImageMetadata();
    ImageMetadata(const ImageMetadata&);
    ImageMetadata& operator=(const ImageMetadata&);

    // The metadata of the picture file at `path`: none when the file has none, is too large,
    // is not a regular file, or cannot be read.
    static ImageMetadata readFrom(const std::string& path) noexcept;

    bool empty() const { return !blocks_; }

    // `encoded` (a whole JPEG, PNG or TIFF file) with this metadata written into it, made true
    // of the picture it goes with: `width` × `height` upright sRGB pixels without a thumbnail
    // or a colour profile. Nothing when there is no metadata or it could not be written.
    std::optional<std::vector<uint8_t>> writtenInto(
        const std::vector<uint8_t>& encoded, int32_t width, int32_t height) const noexcept;

private:
    struct Blocks;
    std::shared_ptr<const Blocks> blocks_;
};

} // namespace tessary
