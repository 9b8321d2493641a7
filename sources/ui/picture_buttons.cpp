#include "sources/ui/picture_buttons.h"

#include "app/ui/flying_tips.h"

#include <QEnterEvent>
#include <QPainter>
#include <QRadialGradient>

namespace tessary {

namespace {

// A picture of `side` pixels with a light face and a dark one-pixel frame; `draw` paints the
// content into the inner square.
template <typename Draw> QPixmap framedPicture(int side, Draw draw)
{
    QPixmap picture(side, side);
    picture.fill(QColor(246, 246, 240));
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing, false);
    draw(p, QRect(3, 3, side - 6, side - 6));
    p.setPen(QColor(60, 70, 90));
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, side - 1, side - 1);
    return picture;
}

QPixmap cropPicture()
{
    return framedPicture(kPictureButtonSide, [](QPainter& p, const QRect& r) {
        // The kept part in the middle, the cut-off edges hatched, crop marks at two corners.
        p.fillRect(r, QBrush(QColor(150, 150, 150), Qt::BDiagPattern));
        const QRect kept = r.adjusted(6, 6, -6, -6);
        p.fillRect(kept, QColor(120, 180, 230));
        p.setPen(QPen(Qt::black, 2));
        p.drawLine(kept.left() - 1, r.top(), kept.left() - 1, kept.bottom() + 1);
        p.drawLine(r.left(), kept.bottom() + 1, kept.right() + 1, kept.bottom() + 1);
        p.drawLine(kept.right() + 1, r.bottom(), kept.right() + 1, kept.top() - 1);
        p.drawLine(r.right(), kept.top() - 1, kept.left() - 1, kept.top() - 1);
    });
}

// An ellipse fading between `centre` and `rim`.
QPixmap ellipsePicture(const QColor& centre, const QColor& rim)
{
    return framedPicture(kPictureButtonSide, [&](QPainter& p, const QRect& r) {
        p.setRenderHint(QPainter::Antialiasing, true);
        QRadialGradient gradient(QPointF(r.center()) + QPointF(0.5, 0.5), r.width() / 2.0);
        gradient.setColorAt(0.0, centre);
        gradient.setColorAt(1.0, rim);
        p.setPen(Qt::NoPen);
        p.setBrush(gradient);
        p.drawEllipse(r.adjusted(0, 3, 0, -3));
    });
}

QPixmap opaquePicture()
{
    return framedPicture(kPictureButtonSide, [](QPainter& p, const QRect& r) {
        p.fillRect(r, QColor(40, 90, 170));
        p.setPen(QColor(255, 255, 255));
        p.drawRect(r.adjusted(4, 4, -5, -5));
    });
}

QPixmap transparentPicture()
{
    return framedPicture(kPictureButtonSide, [](QPainter& p, const QRect& r) {
        // The usual sign of transparency: a grey and white checkerboard.
        for (int y = r.top(); y <= r.bottom(); y += 4)
            for (int x = r.left(); x <= r.right(); x += 4)
                p.fillRect(QRect(x, y, 4, 4).intersected(r),
                    ((x - r.left()) / 4 + (y - r.top()) / 4) % 2 ? QColor(255, 255, 255)
                                                                 : QColor(190, 190, 190));
    });
}

QPixmap savePicture()
{
    return framedPicture(kZoneButtonSide, [](QPainter& p, const QRect& r) {
        p.fillRect(r, QColor(40, 70, 150));
        p.fillRect(r.adjusted(2, 0, -2, -r.height() / 2), Qt::white);
    });
}

QPixmap printPicture()
{
    return framedPicture(kZoneButtonSide, [](QPainter& p, const QRect& r) {
        p.fillRect(r.adjusted(0, r.height() / 3, 0, -2), QColor(90, 90, 90));
        p.fillRect(r.adjusted(2, 0, -2, -r.height() / 2), Qt::white);
    });
}

} // namespace

picture_button::picture_button(QWidget* parent, const QString& tipText, bool handCursor,
    const QPixmap& picture, const int32_t& flyingTipsEnabled)
    : QAbstractButton(parent)
    , tipText_(tipText)
    , handCursor_(handCursor)
    , picture_(picture)
    , flyingTipsEnabled_(flyingTipsEnabled)
{
    setFocusPolicy(Qt::NoFocus);
    resize(picture_.size());
    if (handCursor_)
        setCursor(Qt::PointingHandCursor);
}

picture_button::~picture_button()
{
    closeTip();
}

void picture_button::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawPixmap(0, 0, picture_);
}

void picture_button::enterEvent(QEnterEvent* event)
{
    QAbstractButton::enterEvent(event);
    QWidget* host = parentWidget();
    if (!host || tip_)
        return;
    // Just below the button, or above it when the window ends first.
    int top = y() + height() + 2;
    if (top + 20 > host->height())
        top = std::max(0, y() - 22);
    tip_ = new flying_tips(host, QRect(x(), top, 1, 1));
    tip_->raise();
    showFlyingTip(tip_, tipText_, flyingTipsEnabled_);
}

void picture_button::leaveEvent(QEvent* event)
{
    QAbstractButton::leaveEvent(event);
    closeTip();
}

void picture_button::closeTip()
{
    if (tip_)
        delete tip_.data();
}

prompt::prompt(QWidget* parent, const int32_t& flyingTipsEnabled)
    : picture_button(parent, "save zone to file", false, savePicture(), flyingTipsEnabled)
{
    setObjectName("prompt");
}

print_prompt::print_prompt(QWidget* parent, const int32_t& flyingTipsEnabled)
    : picture_button(parent, "print zone", false, printPicture(), flyingTipsEnabled)
{
    setObjectName("print_prompt");
}

crop_prompt::crop_prompt(QWidget* parent, const int32_t& flyingTipsEnabled)
    : picture_button(parent, "crop image", true, cropPicture(), flyingTipsEnabled)
{
    setObjectName("crop_prompt");
}

portion_merge_prompt::portion_merge_prompt(QWidget* parent, const int32_t& flyingTipsEnabled)
    : picture_button(parent, "smooth blend", true, ellipsePicture(QColor(40, 90, 170), QColor(235, 240, 250)),
        flyingTipsEnabled)
{
    setObjectName("portion_merge_prompt");
}

portion_unmerge_prompt::portion_unmerge_prompt(QWidget* parent, const int32_t& flyingTipsEnabled)
    : picture_button(parent, "smooth unblend", true,
        ellipsePicture(QColor(235, 240, 250), QColor(40, 90, 170)), flyingTipsEnabled)
{
    setObjectName("portion_unmerge_prompt");
}

opaque_prompt::opaque_prompt(QWidget* parent, const int32_t& flyingTipsEnabled)
    : picture_button(parent, "make opaque", true, opaquePicture(), flyingTipsEnabled)
{
    setObjectName("opaque_prompt");
}

transparent_prompt::transparent_prompt(QWidget* parent, const int32_t& flyingTipsEnabled)
    : picture_button(parent, "make transparent", true, transparentPicture(), flyingTipsEnabled)
{
    setObjectName("transparent_prompt");
}

} // namespace tessary
