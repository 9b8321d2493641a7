#pragma once
#include "align/align_doc.h"

#include <QImage>
#include <QSize>
#include <cstdint>
#include <optional>
#include <string>

class QPainter;

namespace tessary {

// Everything one painting of the Align view reads, gathered by the view.
struct AlignPaintInput {
    QSize client;
    int32_t sourceCount = 0;
    const CAlignDoc* doc = nullptr;
    // The preview and the tip banner as images; null when there is none.
    const QImage* preview = nullptr;
    const QImage* banner = nullptr;

    // The selected source; `hasTransformed` false stops the painting after the strip.
    int32_t selected = 1;
    bool hasTransformed = false;
    int32_t transformedWidth = 0;
    int32_t transformedHeight = 0;
    std::string title;
    int32_t sourceKind = 0;
    bool textPreviewTiny = false;

    Outline workingOutline {};
    bool handlesLit = false;
    bool rotatingNow = false;
    bool windowTooSmall = false;
    int32_t tipCounter = 0;
    bool flyingTipsEnabled = true;
};

// The fonts of the view: the default face at 8 and at 12 points.
QFont alignSmallFont(const QFont& base);
QFont alignLargeFont(const QFont& base);

// Paints one of the three screens: the loading prompts (fewer than two sources), the failure
// text of `previewStatus` (no preview), or the preview with its hatched surround, the
// information strip, the top line and the selected source's outline and handles. Every repaint
// is complete.
void paintAlignView(QPainter& painter, const AlignPaintInput& in);

} // namespace tessary
