#pragma once
#include "app/platform.h"
#include "image/masked_dib.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tessary {

class VIrorozIzi;

inline constexpr const char* kFontProblemText = "Problem with font generation ?";
inline constexpr const char* kTextTooLargeText
    = "The combination of font size and the amount of text is too large.";
inline constexpr const char* kNoTextEnteredText = "No text entered?";

inline constexpr int32_t kMaxTextLines = 100;
inline constexpr size_t kMaxMeasuredTextBytes = 8192;
inline constexpr int64_t kMaxTextPixels = 16777216;

// The size of a rendered text: the measured lines, the widest line W0 and the tallest LH, and
// the image W x H they give (H = lines * LH down to a multiple of 4, W = W0 + 16 down to a
// multiple of 16).
struct TextLayout {
    int32_t lines = 0;
    int32_t widestLine = 0;
    int32_t lineHeight = 0;
    int64_t width = 0;
    int64_t height = 0;
};

// Measures `text` (lines end in CR LF) in `font`: every piece up to a line feed is one line and is
// measured without its last character; text after the last line feed is not measured, nor
// lines past the hundredth, nor anything once more than 8192 bytes were consumed. Nothing when
// the font cannot be made.
std::optional<TextLayout> measureTextLayout(const std::string& text, const LogFont& font, Platform& platform);

// Renders the document's text, font and colours into a new 24-bit image: every pixel the
// background colour, the text centred horizontally in its 1..16 spare columns; with a
// transparent background only the text pixels are opaque. Nothing, after showing why, when the
// font cannot be made, the text is too large or empty, or memory runs out.
std::optional<MaskedDib> renderTextImage(const VIrorozIzi& doc, Platform& platform);

// The rendered image becomes the document's: `imageWidth` and `imageHeight` follow it, the title
// becomes "Text" and `sourceKind` text.
void adoptTextImage(VIrorozIzi& doc, MaskedDib&& image);

} // namespace tessary
