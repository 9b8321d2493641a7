#include "sources/stored_text.h"

#include "sources/source_doc.h"
#include "sources/text_render.h"

namespace tessary {

StoredText storedTextOf(const VIrorozIzi& doc)
{
    return { doc.textBuffer, doc.textFont, doc.textColour, doc.textBackColour, doc.textTransparentBack != 0 };
}

bool makeStoredTextSource(VIrorozIzi& doc, const StoredText& stored, Platform& platform)
{
    doc.textBuffer = stored.text;
    doc.textFont = stored.font;
    doc.textColour = stored.colour;
    doc.textBackColour = stored.backColour;
    doc.textTransparentBack = stored.transparentBack ? 1 : 0;
    std::optional<MaskedDib> image = renderTextImage(doc, platform);
    if (!image)
        return false;
    adoptTextImage(doc, std::move(*image));
    return true;
}

} // namespace tessary
