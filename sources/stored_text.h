#pragma once
#include "app/platform.h"
#include "image/colour.h"

#include <string>

namespace tessary {

class VIrorozIzi;

// Everything a text source is made from, as an arrangement file keeps it: the text in its stored
// form (lines end in CR LF), the font, the two colours and whether the background is transparent.
struct StoredText {
    std::string text;
    LogFont font {};
    ColourRef colour = 0xFFFFFF;
    ColourRef backColour = 0;
    bool transparentBack = false;
    friend bool operator==(const StoredText&, const StoredText&) = default;
};

StoredText storedTextOf(const VIrorozIzi& doc);

// Gives `doc` the stored text's fields and renders them, without the text entry: the rendered
// image becomes the source's image as a typed text's would. False, after the renderer has said
// why, when it cannot be rendered; the document's image is then untouched.
bool makeStoredTextSource(VIrorozIzi& doc, const StoredText& stored, Platform& platform);

} // namespace tessary
