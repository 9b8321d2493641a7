#include "sources/area_tools.h"

#include "app/platform.h"
#include "image/cx_image.h"
#include "image/pixel_access.h"
#include "sources/source_doc.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace tessary {

namespace {
constexpr int32_t kMaxAreaOperationCount = 16;
constexpr int32_t kMinCropSide = 64;

bool hasMask(const MaskedDib& image)
{
    return image.dib && image.mask && image.width() > 0 && image.height() > 0
        && image.maskCount == uint32_t(image.width()) * uint32_t(image.height());
}

// The part of the box that lies on the image, in display coordinates; empty when none.
struct Span {
    int32_t x0, x1, y0, y1;
    bool empty() const { return x0 > x1 || y0 > y1; }
};

Span clipToImage(const SourceBox& box, int32_t width, int32_t height)
{
    return Span { std::max(box.left, 0), std::min(box.right, width - 1), std::max(box.top, 0),
        std::min(box.bottom, height - 1) };
}
}

SourceBox normalisedBox(const SourceBox& box)
{
    SourceBox b = box;
    if (b.left > b.right)
        std::swap(b.left, b.right);
    if (b.top > b.bottom)
        std::swap(b.top, b.bottom);
    return b;
}

bool countAreaOperation(int32_t& areaOperationCount)
{
    ++areaOperationCount;
    if (areaOperationCount >= kMaxAreaOperationCount) {
        areaOperationCount = kMaxAreaOperationCount - 1;
        return false;
    }
    return true;
}

bool applyAreaOperation(MaskedDib& image, const SourceBox& box, AreaOperation operation)
{
    if (!hasMask(image))
        return true;
    const int32_t width = image.width();
    const int32_t height = image.height();
    const Span span = clipToImage(box, width, height);
    if (span.empty())
        return true;
    // Making an opaque mask opaque changes nothing; anything else needs the values themselves.
    // Without the memory for them the mask stays as it was.
    if (operation == AreaOperation::MakeOpaque && image.mask.isOpaqueFact())
        return true;
    if (!materialiseMask(image))
        return false;

    if (operation == AreaOperation::MakeTransparent || operation == AreaOperation::MakeOpaque) {
        const uint16_t value = operation == AreaOperation::MakeOpaque ? kOpaque : kTransparent;
        for (int32_t y = span.y0; y <= span.y1; ++y)
            std::fill(
                image.maskRow(height - 1 - y) + span.x0, image.maskRow(height - 1 - y) + span.x1 + 1, value);
        if (operation == AreaOperation::MakeOpaque)
            image.mask.collapseIfOpaque();
        return true;
    }

    const int32_t w = box.right - box.left;
    const int32_t h = box.bottom - box.top;
    if (w == 0 || h == 0)
        return true;
    const int32_t cx = (box.left + box.right) / 2;
    const int32_t cy = (box.top + box.bottom) / 2;
    const double ratio = double(h) / double(w);
    const bool blend = operation == AreaOperation::SmoothBlend;
    for (int32_t y = span.y0; y <= span.y1; ++y) {
        uint16_t* row = image.maskRow(height - 1 - y);
        const double dy = double(y - cy);
        for (int32_t x = span.x0; x <= span.x1; ++x) {
            const double dx = double(x - cx) * ratio;
            const double d = std::sqrt(dy * dy + dx * dx);
            const double u = double(h) - 2.0 * d;
            if (u < 0.0)
                continue;
            const double share = blend ? u / double(h) : 1.0 - u / double(h);
            const auto v = static_cast<uint32_t>(share * 65535.0);
            if (v != 0)
                row[x] = static_cast<uint16_t>(std::min<uint32_t>(v, kOpaque));
        }
    }
    return true;
}

bool setWholeMask(MaskedDib& image, uint16_t value)
{
    if (!image.mask || image.maskCount == 0)
        return true;
    if (value == kOpaque) {
        image.mask = MaskPlane::opaque(image.maskCount);
        return true;
    }
    MaskPlane filled = MaskPlane::filled(image.maskCount, 0);
    if (!filled)
        return false;
    if (value != 0)
        std::fill(filled.get(), filled.get() + image.maskCount, value);
    image.mask = std::move(filled);
    return true;
}

CropResult cropImage(MaskedDib& source, const SourceBox& box, MaskedDib& out)
{
    if (!source.dib || source.width() <= 0 || source.height() <= 0)
        return CropResult::TooSmall;
    const int32_t width = source.width();
    const int32_t height = source.height();
    // Boxes come from drags limited to the image; one that reaches past it is cut to it.
    SourceBox b = normalisedBox(box);
    b.left = std::clamp(b.left, 0, width);
    b.right = std::clamp(b.right, 0, width);
    b.top = std::clamp(b.top, 0, height);
    b.bottom = std::clamp(b.bottom, 0, height);
    const int32_t w = b.right - b.left;
    const int32_t h = b.bottom - b.top;
    if (w < kMinCropSide || h < kMinCropSide)
        return CropResult::TooSmall;

    MaskedDib cropped;
    if (allocateMaskedDib(h, w, cropped, 24))
        return CropResult::OutOfMemory;
    access_pixel reader(source);
    if (!reader)
        return CropResult::OutOfMemory;
    reader->keepPadding();
    // An opaque source gives an opaque crop: the fact is enough.
    const bool sourceMask = hasMask(source) && !source.mask.isOpaqueFact();
    if (sourceMask && !materialiseMask(cropped))
        return CropResult::OutOfMemory;
    // New stored row r shows source stored row (height - bottom + r): display lines top ...
    // bottom - 1.
    for (int32_t r = 0; r < h; ++r) {
        const int32_t sourceRow = height - b.bottom + r;
        uint8_t* pixels = cropped.dib->row(r);
        uint16_t* mask = sourceMask ? cropped.maskRow(r) : nullptr;
        const uint16_t* sourceMaskRow = sourceMask ? std::as_const(source).maskRow(sourceRow) : nullptr;
        for (int32_t x = 0; x < w; ++x) {
            reader->readPixel(b.left + x, sourceRow);
            pixels[3 * x] = currentPixel.blue;
            pixels[3 * x + 1] = currentPixel.green;
            pixels[3 * x + 2] = currentPixel.red;
            if (mask)
                mask[x] = sourceMaskRow[b.left + x];
        }
    }
    out = std::move(cropped);
    return CropResult::Done;
}

bool cropSource(VIrorozIzi& doc, const SourceBox& box, Platform& platform, MaskedDib& replaced)
{
    MaskedDib cropped;
    switch (cropImage(doc.image, box, cropped)) {
    case CropResult::TooSmall:
        platform.messageBox(kCropAreaTooSmall, MessageIcon::Error, MessageButtons::Ok);
        return false;
    case CropResult::OutOfMemory:
        platform.messageBox(kCropOutOfMemory, MessageIcon::Error, MessageButtons::Ok);
        return false;
    case CropResult::Done:
        break;
    }
    replaced = std::move(doc.image);
    doc.image = std::move(cropped);
    doc.imageWidth = doc.image.width();
    doc.imageHeight = doc.image.height();
    doc.changed = true;
    return true;
}

bool areaOperationOnSource(VIrorozIzi& doc, const SourceBox& box, AreaOperation operation,
    int32_t& areaOperationCount, Platform& platform)
{
    if (!countAreaOperation(areaOperationCount))
        return false;
    if (!applyAreaOperation(doc.image, box, operation)) {
        --areaOperationCount;
        platform.messageBox(kRunOutOfMemory, MessageIcon::Error, MessageButtons::Ok);
        return false;
    }
    doc.changed = true;
    return true;
}

bool wholeMaskOnSource(VIrorozIzi& doc, uint16_t value, Platform& platform)
{
    if (!setWholeMask(doc.image, value)) {
        platform.messageBox(kRunOutOfMemory, MessageIcon::Error, MessageButtons::Ok);
        return false;
    }
    doc.changed = true;
    return true;
}

bool sameMaskValues(const MaskedDib& a, const MaskedDib& b)
{
    if (a.width() != b.width() || a.height() != b.height() || a.maskCount != b.maskCount)
        return false;
    if (a.maskCount == 0 || (a.mask.isOpaqueFact() && b.mask.isOpaqueFact()))
        return true;
    const size_t width = size_t(a.width());
    std::vector<uint16_t> scratchA(width), scratchB(width);
    for (int32_t r = 0; r < a.height(); ++r) {
        const uint16_t* rowA = a.maskValues(r, 0, a.width(), scratchA.data());
        const uint16_t* rowB = b.maskValues(r, 0, b.width(), scratchB.data());
        if (!std::equal(rowA, rowA + width, rowB))
            return false;
    }
    return true;
}

} // namespace tessary
