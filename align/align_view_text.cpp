#include "align/align_view_text.h"

#include "sources/source_doc.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace tessary {

std::string formatGeneral4(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.4g", value);
    if (std::isfinite(value) && !std::strpbrk(text, ".e"))
        std::strncat(text, ".", sizeof text - std::strlen(text) - 1);
    return text;
}

std::string viewingScaleText(float viewScale)
{
    if (viewScale >= 1.0f)
        return "Viewing scale =  1/" + formatGeneral4(viewScale) + "  of actual size.";
    return "Viewing scale =  " + formatGeneral4(1.0f / viewScale) + "  * actual size.";
}

namespace {
std::string whole(double value)
{
    if (!std::isfinite(value))
        return "0";
    return std::to_string(int64_t(std::trunc(value)));
}
}

std::string scalingText(double scaleX, double scaleY)
{
    return "Selected source scaling % (before rotation) width/height = " + whole(scaleX / 10.24) + ","
        + whole(scaleY / 10.24);
}

std::string transformedPixelsText(int32_t width, int32_t height)
{
    return "Selected source pixels (after rotation) width/height = " + std::to_string(width) + ","
        + std::to_string(height);
}

std::string rotationText(double rotation)
{
    return "Rotation angle = " + whole(rotation);
}

std::string selectedSourceHeading(int32_t number)
{
    return "Source " + std::to_string(number) + " selected";
}

std::optional<std::string> sourceKindText(int32_t sourceKind, bool textPreviewTiny)
{
    switch (sourceKind) {
    case kSourceText:
        return textPreviewTiny ? kTextTooSmallLine : "text";
    case kSourceImageFile:
        return "image";
    case kSourceTargetCopy:
        return "target_to_src";
    case kSourcePaste:
        return "Paste";
    default:
        return std::nullopt;
    }
}

std::string tipLineText(int32_t tipCounter)
{
    static const char* const tips[8] = {
        "Tip:  Click right mouse to select next source.",
        "Tip:  Switch to target when done aligning.",
        "Tip:  Load new sources from within this window.",
        "Tip:  Target window is HOW to merge images and print/save the result.",
        "Tip:  This Align window is about relative positioning and sizing of the source images.",
        "Remember: position images first then switch to the target window.",
        "Tip:  You can add additional images or delete some at any stage.",
        "Tip:  You have the option of aborting lengthy processing by pressing Esc.",
    };
    return tips[(uint32_t(tipCounter) & 0x700u) >> 8];
}

std::vector<std::string> previewStatusLines(int32_t previewStatus)
{
    switch (previewStatus) {
    case 1:
        return { "The preview image cannot be loaded because of insufficient memory.",
            "Another possibility is that one or more source images are too large." };
    case 2:
        return { "The preview image cannot be loaded because the format of one or",
            "both source images is not recognised." };
    case 3:
        return { "The preview image cannot be loaded because the format of one or",
            "both source images is RLE bitmap which cannot be handled by Tessary." };
    case 4:
        return { "Quit preview image generation.",
            "The only option now is to delete one or more source images and start over." };
    default:
        return { "The Align preview image is not available." };
    }
}

std::vector<std::string> loadingPromptLines(int32_t sourceCount)
{
    if (sourceCount <= 0)
        return { "Please load the first source image/text now by File-Open Image or File-Open Text.",
            "Alternatively press the buttons below." };
    return { "Now load the 2nd source image or text.", "You can load up to 8 images / text.",
        "When done manipulate the images in this window, merge them in the target window." };
}

} // namespace tessary
