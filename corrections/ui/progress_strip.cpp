#include "corrections/ui/progress_strip.h"

#include "corrections/correction_session.h"

#include <QPainter>

namespace tessary {

namespace {
QColor qColour(ColourRef c)
{
    return QColor(redOf(c), greenOf(c), blueOf(c));
}
}

ProgressStrip::ProgressStrip(QWidget* parent)
    : QWidget(parent)
    , colour_(kStripIdle)
{
    setObjectName("progressStrip");
    setFixedHeight(12);
    setMinimumWidth(100);
}

void ProgressStrip::showRow(int32_t row, int32_t height)
{
    const int32_t fill = progressStripFill(row, width(), height);
    if (fill == filled_ && colour_ == kStripRunning)
        return;
    filled_ = fill;
    colour_ = kStripRunning;
    repaint();
}

void ProgressStrip::finish()
{
    filled_ = width();
    colour_ = kStripIdle;
    repaint();
}

void ProgressStrip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), qColour(kStripIdle));
    if (colour_ == kStripRunning)
        painter.fillRect(QRect(0, 0, filled_, height()), qColour(kStripRunning));
}

} // namespace tessary
