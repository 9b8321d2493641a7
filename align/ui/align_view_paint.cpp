#include "align/ui/align_view_paint.h"

#include "align/align_view_layout.h"
#include "align/align_view_text.h"
#include "align/outline_hit_test.h"

#include <QFontMetrics>
#include <QPainter>

namespace tessary {

namespace {

QColor colour(Rgb c)
{
    return QColor(c.red, c.green, c.blue);
}

QRect qrect(const ViewRect& r)
{
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

// Opaque text with its top-left corner at (x, y): the text's box is filled with the background
// first, as a text drawn in opaque mode fills it. A text wider than `room` (when given) is
// narrowed to it: the strip's columns were laid out for a narrower face than most platforms'
// default, and the end of a line must not vanish under the next column.
void opaqueText(QPainter& p, int x, int y, const std::string& text, const QColor& background,
    const QColor& ink = Qt::black, int room = 0)
{
    const QString s = QString::fromStdString(text);
    const QFontMetrics metrics(p.font());
    const int wide = metrics.horizontalAdvance(s);
    const bool narrowed = room > 0 && wide > room;
    p.save();
    if (narrowed) {
        p.translate(x, y);
        p.scale(double(room) / wide, 1.0);
        p.translate(-x, -y);
    }
    p.fillRect(QRect(x, y, wide, metrics.height()), background);
    p.setPen(ink);
    p.drawText(QPoint(x, y + metrics.ascent()), s);
    p.restore();
}

// The room of the strip's first column, which ends where the second starts at x = 560.
constexpr int kFirstColumnRoom = 560 - 200 - 4;

void paintLoadingScreen(QPainter& p, const AlignPaintInput& in)
{
    const int32_t right = in.client.width(), bottom = in.client.height();
    for (const GradientBand& band : loadingBackground(right, bottom))
        p.fillRect(qrect(band.rect), colour(band.colour));
    const QColor background = colour(kPromptBackground);
    const std::vector<std::string> lines = loadingPromptLines(in.sourceCount);
    if (in.sourceCount <= 0) {
        if (in.banner && !in.banner->isNull())
            p.drawImage(QPoint(100, 150), *in.banner);
        opaqueText(p, 100, 10, lines[0], background);
        opaqueText(p, 100, 40, lines[1], background);
        return;
    }
    opaqueText(p, 100, 10, lines[0], background);
    opaqueText(p, 100, 35, lines[1], background);
    opaqueText(p, 100, 60, lines[2], background);
}

void paintFailureScreen(QPainter& p, const AlignPaintInput& in)
{
    const QColor background = colour(kFailureBackground);
    p.fillRect(QRect(QPoint(0, 0), in.client), background);
    const std::vector<std::string> lines = previewStatusLines(in.doc->previewStatus);
    opaqueText(p, 20, 310, lines[0], background);
    if (lines.size() > 1)
        opaqueText(p, 20, 340, lines[1], background);
}

void paintHandle(QPainter& p, ViewPoint centre, const QColor& fill)
{
    const ViewRect box = handleBox(centre);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(fill);
    // Ten pixels across: the box's right and bottom edges are outside, as for a filled ellipse
    // of that box.
    p.drawEllipse(QRect(box.left, box.top, box.right - box.left - 1, box.bottom - box.top - 1));
}

void paintPreviewScreen(QPainter& p, const AlignPaintInput& in)
{
    const CAlignDoc& doc = *in.doc;
    const int32_t right = in.client.width(), bottom = in.client.height();

    // 1. The preview at its own size.
    if (in.preview && !in.preview->isNull())
        p.drawImage(QPoint(doc.previewLeft, doc.previewTop), *in.preview);

    // 2. The hatched surround: hatch lines on white.
    const QBrush hatch(colour(kHatchColour), Qt::DiagCrossPattern);
    for (const ViewRect& r : hatchedSurround(
             doc.previewLeft, doc.previewTop, doc.previewWidth, doc.previewHeight, right, bottom)) {
        if (r.right <= r.left || r.bottom <= r.top)
            continue;
        p.fillRect(qrect(r), Qt::white);
        p.fillRect(qrect(r), hatch);
    }

    // 3. The information strip.
    p.fillRect(qrect(stripRect(right, bottom)), colour(kStripColour));
    p.fillRect(qrect(selectedBoxRect(bottom)), colour(kSelectedBoxColour));

    // 4. Nothing more to say about a source that has no transformed image.
    if (!in.hasTransformed)
        return;
    const size_t s = size_t(in.selected - 1);
    const QFont base = p.font();
    const QFont small = alignSmallFont(base);
    const QFont large = alignLargeFont(base);

    // 5. Scales and pixels.
    p.setFont(small);
    const QColor strip = colour(kStripColour);
    opaqueText(
        p, 200, bottom - 30, scalingText(doc.placement[s].scaleX, doc.placement[s].scaleY), strip, Qt::black, kFirstColumnRoom);
    opaqueText(p, 200, bottom - 15, transformedPixelsText(in.transformedWidth, in.transformedHeight), strip,
        Qt::black, kFirstColumnRoom);

    // 6. Which source, by number and title.
    p.setFont(large);
    const QColor box = colour(kSelectedBoxColour);
    opaqueText(p, 10, bottom - 50, selectedSourceHeading(in.selected), box);
    opaqueText(p, 10, bottom - 31, in.title, box);

    // 7. Its kind.
    p.setFont(small);
    if (const auto kind = sourceKindText(in.sourceKind, in.textPreviewTiny)) {
        const bool tooSmall = in.sourceKind == 0 && in.textPreviewTiny;
        opaqueText(p, 10, bottom - 13, *kind, tooSmall ? colour(kTooSmallTextColour) : box);
    }

    // 8. Rotation and viewing scale.
    opaqueText(p, 560, bottom - 30, rotationText(doc.placement[s].rotation), strip);
    opaqueText(p, 560, bottom - 15, viewingScaleText(doc.viewScale), strip);

    // 9. The top line.
    if (in.windowTooSmall)
        opaqueText(p, 300, 4, kWindowTooSmallLine, colour(kTooSmallWindowColour), Qt::white);
    else if (in.flyingTipsEnabled)
        opaqueText(p, 300, 4, tipLineText(in.tipCounter), colour(kTipLineColour));

    // 10. The selected source's outline, dotted black on white.
    const Outline& o = in.workingOutline;
    p.setBackgroundMode(Qt::OpaqueMode);
    p.setBackground(Qt::white);
    p.setPen(QPen(Qt::black, 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    const QPoint path[5] = { { o[0].x, o[0].y }, { o[1].x, o[1].y }, { o[3].x, o[3].y }, { o[2].x, o[2].y },
        { o[0].x, o[0].y } };
    p.drawPolyline(path, 5);
    p.setBackgroundMode(Qt::TransparentMode);

    // 11. The sizing handles.
    const QColor fill = colour(in.handlesLit ? kHandleLit : kHandleUnlit);
    for (const ViewPoint& h : sizingHandles(o))
        paintHandle(p, h, fill);

    // 12. The rotation handles, except while a rotation is being dragged.
    if (!in.rotatingNow)
        for (const RotationHandle& h : kRotationHandles)
            paintHandle(p, paintedRotationHandleCentre(o[size_t(h.corner)], doc.placement[s].rotation, h.offset), fill);
    p.setFont(base);
}

} // namespace

QFont alignSmallFont(const QFont& base)
{
    QFont font = base;
    font.setPointSize(8);
    return font;
}

QFont alignLargeFont(const QFont& base)
{
    QFont font = base;
    font.setPointSize(12);
    return font;
}

void paintAlignView(QPainter& painter, const AlignPaintInput& in)
{
    if (!in.doc)
        return;
    if (in.sourceCount < 2)
        paintLoadingScreen(painter, in);
    else if (in.doc->preview.empty() || !in.preview || in.preview->isNull())
        paintFailureScreen(painter, in);
    else
        paintPreviewScreen(painter, in);
}

} // namespace tessary
