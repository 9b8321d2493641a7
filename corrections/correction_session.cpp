#include "corrections/correction_session.h"

#include "app/platform.h"
#include "image/cx_image.h"
#include "sources/copy_to_24bit.h"
#include "sources/source_doc.h"

namespace tessary {

int32_t progressStripFill(int32_t row, int32_t stripWidth, int32_t height)
{
    if (height <= 0)
        return 0;
    return int32_t(int64_t(row) * (stripWidth - 4) / height);
}

void showOutOfMemory(Platform& platform)
{
    platform.messageBox(kRunOutOfMemory, MessageIcon::Error, MessageButtons::Ok);
}

CorrectionSession::CorrectionSession(VIrorozIzi& doc, Platform& platform)
    : doc_(doc)
    , platform_(platform)
{
}

bool CorrectionSession::open(const char* failureText)
{
    if (copyTo24Bit(doc_.image, backup_, &platform_)) {
        if (failureText)
            platform_.messageBox(failureText, MessageIcon::Error, MessageButtons::Ok);
        return false;
    }
    return true;
}

static void takeSizeFromImage(VIrorozIzi& doc)
{
    if (doc.image.dib) {
        doc.imageWidth = doc.image.width();
        doc.imageHeight = doc.image.height();
    }
}

CorrectionStatus CorrectionSession::apply(const Correction& correct)
{
    if (!opened())
        return CorrectionStatus::Refused;
    MaskedDib result;
    const CorrectionStatus status = correct(backup_, result);
    if (status == CorrectionStatus::Done && result.dib) {
        if (!changed_)
            keepOriginal(std::move(doc_.image));
        doc_.image = std::move(result);
    }
    else if (status == CorrectionStatus::OutOfMemory)
        showOutOfMemory(platform_);
    takeSizeFromImage(doc_);
    return status;
}

void CorrectionSession::keepOriginal(MaskedDib original)
{
    original_ = std::move(original);
    changed_ = true;
}

MaskedDib* CorrectionSession::imageToDrawOn()
{
    if (!opened() || !doc_.image.dib)
        return nullptr;
    if (!changed_) {
        // The source draws on a record sharing the original's pixels, so the original itself
        // is what Cancel gives back.
        MaskedDib canvas = doc_.image.share();
        if (!canvas.dib) {
            showOutOfMemory(platform_);
            return nullptr;
        }
        keepOriginal(std::move(doc_.image));
        doc_.image = std::move(canvas);
    }
    return &doc_.image;
}

MaskedDib CorrectionSession::takeOriginal()
{
    changed_ = false;
    return std::move(original_);
}

void CorrectionSession::cancel()
{
    if (!changed_)
        return;
    doc_.image = takeOriginal();
    takeSizeFromImage(doc_);
}

} // namespace tessary
