#pragma once
#include "image/colour.h"
#include "image/masked_dib.h"

#include <cstdint>
#include <functional>

namespace tessary {

class Platform;
class VIrorozIzi;

// Called after each stored row of a correction with that row's index.
using RowProgress = std::function<void(int32_t row)>;

// The progress strip of a correction dialog: green up to the row's share of the strip while a
// correction runs, light grey when it ends.
constexpr ColourRef kStripRunning = 0x00C000;
constexpr ColourRef kStripIdle = 0xC0C0C0;
// Pixels filled from the strip's left edge after stored row `row` of `height` rows.
int32_t progressStripFill(int32_t row, int32_t stripWidth, int32_t height);

// What a correction made of its input.
enum class CorrectionStatus { Done, OutOfMemory, Refused };

// The work shared by every correction dialog of a source: a 24-bit backup of the image and mask
// taken when the dialog opens, every application computed afresh from the backup into a new
// image (so repeated applications do not accumulate). The image the source had at opening is
// moved aside by the first change, not freed: Cancel gives it back, so the source is exactly as
// it was, and a dialog that keeps its change hands it to the undo step. The result is allocated
// before the user's image is given up, so running out of memory shows the message and keeps
// the image the source had.
class CorrectionSession {
public:
    CorrectionSession(VIrorozIzi& doc, Platform& platform);

    // Takes the backup; on failure shows copyTo24Bit's message and then `failureText` (error
    // icon; none when null) and returns false (the dialog then closes at once).
    bool open(const char* failureText);
    bool opened() const { return !backup_.empty(); }
    const MaskedDib& backup() const { return backup_; }
    VIrorozIzi& document() const { return doc_; }

    // Runs `correct` from the backup into a new image that replaces the source's image when it
    // reports Done. OutOfMemory shows the memory message; Refused changes nothing and the caller
    // says why. The source's imageWidth and imageHeight follow its image in every case.
    using Correction = std::function<CorrectionStatus(const MaskedDib& backup, MaskedDib& result)>;
    CorrectionStatus apply(const Correction& correct);

    // For a correction that draws into the source's current image (the grid): the image to draw
    // on, with the one from opening kept first (its pixels shared until drawn on). Null, with
    // the memory message shown, when the mask cannot be kept.
    MaskedDib* imageToDrawOn();

    // Whether the source's image has been changed since opening.
    bool changed() const { return changed_; }
    // The image the source had at opening, once it has been changed (an empty record
    // otherwise); the session then has no change left to take back.
    MaskedDib takeOriginal();

    // The source gets its image from opening back (once); nothing happens when nothing changed.
    void cancel();

private:
    void keepOriginal(MaskedDib original);

    VIrorozIzi& doc_;
    Platform& platform_;
    MaskedDib backup_;
    MaskedDib original_;
    bool changed_ = false;
};

// Shows "Tessary has run out of memory." with the error icon.
void showOutOfMemory(Platform& platform);

} // namespace tessary
