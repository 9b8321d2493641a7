#include "sources/load_image_file.h"

#include "app/platform.h"
#include "image/cx_image.h"
#include "sources/picture_as_meant.h"
#include "sources/source_doc.h"

#include <cstdio>
#include <cstring>
#include <new>

namespace tessary {

namespace {
bool refuse(Platform& platform, const char* reason)
{
    if (reason && *reason)
        platform.messageBox(reason, MessageIcon::Error, MessageButtons::Ok);
    platform.messageBox(kUnableToLoadImageFile, MessageIcon::Error, MessageButtons::Ok);
    return false;
}
}

std::string unreadableContentText(const std::string& path)
{
    uint8_t head[64] = {};
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return {};
    const size_t size = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    const size_t slash = path.find_last_of('/');
    return (slash == std::string::npos ? path : path.substr(slash + 1))
        + " is not a " + formatNames() + " picture: it looks like " + describeFileContent(head, size) + ".";
}

std::string cannotOpenFileText(const std::string& path)
{
    return "Cannot open the file " + path + ".";
}

bool fileOpensForReading(const std::string& path, Platform& platform)
{
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        std::fclose(file);
        return true;
    }
    platform.messageBox(cannotOpenFileText(path), MessageIcon::Error, MessageButtons::Ok);
    return false;
}

bool maskFromAlpha(MaskedDib& image, const uint8_t* alpha)
{
    // Alpha 255 is opaque (65535), 0 fully clear, as if painted so with the area tools. Every
    // value is written here, so the plane is not filled first.
    const size_t count = size_t(image.width()) * size_t(image.height());
    MaskPlane plane = MaskPlane::unwritten(count);
    uint16_t* mask = plane.get();
    if (!mask)
        return false;
    for (size_t i = 0; i < count; ++i)
        mask[i] = uint16_t(alpha[i] * 257u);
    plane.collapseIfOpaque();
    image.mask = std::move(plane);
    return true;
}

bool adoptDecodedImage(VIrorozIzi& doc, CxImage& decoded, Platform& platform)
{
    const uint8_t* block = decoded.GetDIB();
    if (!block || decoded.GetSize() < sizeof(BitmapInfoHeader))
        return refuse(platform, kCannotHandleImageType);
    BitmapInfoHeader header;
    std::memcpy(&header, block, sizeof header);
    if (header.biBitCount == 16 || header.biCompression != 0)
        return refuse(platform, kCannotHandleImageType);

    // The decoder's block becomes the source's image as it is (no copy): it is laid out exactly
    // as the program lays out its own; a block of any other length would not fit the rows the
    // header announces, so it is not taken.
    const size_t expected = programDibBytes(decoded.GetWidth(), decoded.GetHeight(), header.biBitCount);
    if (expected == 0)
        return refuse(platform, kRunOutOfMemory);
    if (expected != decoded.GetSize())
        return refuse(platform, kCannotHandleImageType);
    const std::unique_ptr<uint8_t[]> alpha
        = doc.loadOptions.fileTransparency && decoded.AlphaIsStored() ? decoded.AlphaTake() : nullptr;
    MaskedDib image;
    image.dib = decoded.TakeDIB();
    if (allocateMask(image, 0xFF) || (alpha && !maskFromAlpha(image, alpha.get())))
        return refuse(platform, kRunOutOfMemory);

    doc.image = std::move(image);
    doc.imageWidth = doc.image.width();
    doc.imageHeight = doc.image.height();
    doc.sourceKind = kSourceImageFile;
    return true;
}

bool loadImageFile(VIrorozIzi& doc, const std::string& path, Platform& platform)
{
    // The codec layer and the image helpers report running out of memory by their results;
    // what is left (the path's copy) must not end the program either.
    try {
        doc.filePath = path.substr(0, VIrorozIzi::kMaxPathLength);
    } catch (const std::bad_alloc&) {
        return refuse(platform, kRunOutOfMemory);
    }
    // A name the formats know picks the decoder tried first; any other is read by its content.
    const std::optional<uint32_t> format = formatFromFileName(path);
    CxImage decoded;
    if (decoded.Load(path, format.value_or(CXIMAGE_FORMAT_UNKNOWN)) && decoded.IsValid()) {
        if (!showPictureAsMeant(decoded, path, platform, doc.loadOptions.upright))
            return refuse(platform, kRunOutOfMemory);
        return adoptDecodedImage(doc, decoded, platform);
    }
    if (format)
        return refuse(platform, decoded.GetLastErrorText());
    try {
        return refuse(platform, unreadableContentText(path).c_str());
    } catch (const std::bad_alloc&) {
        return refuse(platform, kRunOutOfMemory);
    }
}

} // namespace tessary
