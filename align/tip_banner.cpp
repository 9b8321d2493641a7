#include "align/tip_banner.h"

#include "align/align_doc.h"
#include "app/platform.h"
#include "image/cx_image.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace tessary {

std::string tipBannerFileName(int32_t tipPage)
{
    return std::string("intro") + char('1' + std::clamp(tipPage, 0, kTipPages - 1)) + ".jpg";
}

std::string tipPageText(int32_t tipPage)
{
    return std::string("page ") + char('1' + std::clamp(tipPage, 0, kTipPages - 1));
}

namespace {
// The first place the file exists: the current folder, then the data folder.
std::string locate(const std::string& fileName, const std::string& dataFolder)
{
    std::error_code error;
    if (std::filesystem::is_regular_file(fileName, error))
        return fileName;
    if (!dataFolder.empty()) {
        const std::filesystem::path there = std::filesystem::path(dataFolder) / fileName;
        if (std::filesystem::is_regular_file(there, error))
            return there.string();
    }
    return std::string();
}
}

bool loadTipBanner(
    CAlignDoc& doc, Platform& platform, const std::string& fileName, const std::string& dataFolder)
{
    doc.tipBanner.reset();
    const std::string path = locate(fileName, dataFolder);
    CxImage image;
    if (!path.empty())
        image.Load(path, CXIMAGE_FORMAT_JPG);
    if (!image.IsValid()) {
        platform.messageBox(kTipBannerFailedText, MessageIcon::Plain, MessageButtons::Ok);
        return true;
    }

    // A 24-bit header for the image's size over a zeroed block of the 24-bit size, then the
    // decoded block copied over its start. A grey image (8 bits with a 1024-byte colour table)
    // can be larger than the 24-bit form of a small picture, so the block is never made smaller
    // than what is copied into it.
    const int32_t width = image.GetWidth(), height = image.GetHeight();
    const size_t stride = rowStride(width, 24);
    const size_t size24 = stride * size_t(height) + 54;
    const size_t size = std::max(size24, image.GetSize());
    std::unique_ptr<PackedDib> banner = PackedDib::allocate(size);
    if (!banner)
        return true;
    BitmapInfoHeader header;
    header.biWidth = width;
    header.biHeight = height;
    header.biBitCount = 24;
    header.biSizeImage = uint32_t(stride * size_t(height));
    banner->setHeader(header);
    std::memcpy(banner->data(), image.GetDIB(), image.GetSize());
    doc.tipBanner = std::move(banner);
    return false;
}

} // namespace tessary
