#pragma once
#include <QImage>
#include <QWidget>
#include <cstdint>

namespace tessary {

// The colours and limits of a flying tip.
inline const QColor kFlyingTipBackground(221, 255, 238);
constexpr int kFlyingTipMaxLines = 10;

// A flying tip: a plain borderless child window with the window text "tips", created visible
// by the hovering code at a rectangle it chooses and destroyed when the hover ends. It draws
// nothing of its own: it shows only what showFlyingTip painted into it.
class flying_tips : public QWidget {
    Q_OBJECT
public:
    flying_tips(QWidget* parent, const QRect& rect);

    // What showFlyingTip painted last; null while nothing was painted.
    const QImage& painted() const { return painted_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    friend void showFlyingTip(flying_tips* tipWindow, const QString& text, int32_t flyingTipsEnabled);
    QImage painted_;
};

// The font of flying tips: 8 points in the platform's default face.
QFont flyingTipFont();

// Sizes the tip window to the text (at most 10 lines split at "\n", each line 5 pixels in from
// the left, 5 pixels spare on the right, one pixel above and below) keeping its top-left
// corner, and paints it on RGB (221, 255, 238) inside a one-pixel black border. Does nothing
// while flying tips are switched off.
void showFlyingTip(flying_tips* tipWindow, const QString& text, int32_t flyingTipsEnabled);

} // namespace tessary
