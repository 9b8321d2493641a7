#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tessary {

// A number with 4 significant digits in the C run-time's general style: no exponent for
// ordinary magnitudes, trailing zeros dropped, and a whole number keeps its decimal point
// ("4.1", "2.", "16.67"). Magnitudes that need an exponent keep the standard "%.4g" form.
std::string formatGeneral4(double value);

// The information strip's viewing-scale line: "Viewing scale =  1/4.1  of actual size." at a
// scale of 1 or more, "Viewing scale =  2.  * actual size." (the magnification) below 1.
std::string viewingScaleText(float viewScale);

// "Selected source scaling % (before rotation) width/height = 100,50": the scales in percent,
// truncated.
std::string scalingText(double scaleX, double scaleY);
// "Selected source pixels (after rotation) width/height = 640,480".
std::string transformedPixelsText(int32_t width, int32_t height);
// "Rotation angle = -12": the rotation truncated toward zero.
std::string rotationText(double rotation);
// "Source 3 selected".
std::string selectedSourceHeading(int32_t number);

// The kind line of the selected source: "text" (or "Text - too small increase font size." when
// the text is too small on screen), "image", "target_to_src", "Paste"; nothing for a cancelled
// text entry.
std::optional<std::string> sourceKindText(int32_t sourceKind, bool textPreviewTiny);
inline constexpr const char* kTextTooSmallLine = "Text - too small increase font size.";

// The tip line chosen by bits 8 to 10 of the tip counter.
std::string tipLineText(int32_t tipCounter);
inline constexpr const char* kWindowTooSmallLine
    = "This align window is too small - please increase the size";

// The lines the view shows instead of a preview that could not be built, by `previewStatus`.
std::vector<std::string> previewStatusLines(int32_t previewStatus);

// The loading prompts while fewer than two sources are loaded.
std::vector<std::string> loadingPromptLines(int32_t sourceCount);

} // namespace tessary
