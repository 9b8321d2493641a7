#include "merge/ui/source_pie.h"

#include "app/platform.h"
#include "app/workspace.h"
#include "merge/merge_settings.h"
#include "sources/source_doc.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>
#include <cstdlib>

namespace tessary {

QImage piePatternTile(int32_t slot)
{
    struct Pattern {
        QRgb ink, paper;
        bool (*at)(int x, int y);
    };
    static const Pattern patterns[8] = {
        { qRgb(255, 0, 0), qRgb(255, 255, 255), [](int x, int y) { return x == y; } },
        { qRgb(0, 128, 128), qRgb(255, 255, 255), [](int x, int y) { return x == 3 || y == 3; } },
        { qRgb(255, 0, 255), qRgb(255, 255, 255), [](int x, int y) { return (x + y) % 3 == 0; } },
        { qRgb(128, 0, 0), qRgb(255, 255, 255), [](int x, int y) { return x + y == 6; } },
        { qRgb(0, 0, 255), qRgb(255, 255, 255),
            [](int x, int y) { return std::abs(x - 3) + std::abs(y - 3) == 3; } },
        { qRgb(255, 255, 0), qRgb(0, 0, 0), [](int x, int y) { return x == 0 || y == 0; } },
        { qRgb(0, 255, 0), qRgb(0, 0, 0), [](int x, int y) { return y >= 1 + 2 * std::abs(x - 3); } },
        { qRgb(128, 128, 128), qRgb(255, 255, 255), [](int x, int y) { return (x + y) % 2 == 0; } },
    };
    const Pattern& p = patterns[slot & 7];
    QImage tile(7, 7, QImage::Format_RGB32);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x)
            tile.setPixel(x, y, p.at(x, y) ? p.ink : p.paper);
    return tile;
}

source_pie_stats::source_pie_stats(QWidget* parent)
    : QWidget(parent)
{
    setObjectName("source_pie_stats");
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void source_pie_stats::show(const std::string& line, const std::string& title)
{
    line_ = QString::fromStdString(line);
    title_ = QString::fromStdString(title);
    QWidget::show();
    raise();
    update();
}

void source_pie_stats::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    QFont font = p.font();
    font.setPointSize(8);
    p.setFont(font);
    const int ascent = p.fontMetrics().ascent();
    p.drawText(1, 2 + ascent, line_);
    p.drawText(1, 16 + ascent, title_);
}

source_pie::source_pie(
    MergeWorkspace& workspace, MergeSettings& settings, Platform& platform, QRect statsArea, QWidget* dialog)
    : QWidget(dialog)
    , workspace_(workspace)
    , settings_(settings)
    , platform_(platform)
    , statsArea_(statsArea)
    , dialog_(dialog)
{
    setObjectName("source_pie");
    setMouseTracking(true);
}

double source_pie::percentAt(QPoint at) const
{
    return piePercent(at.x() - width() / 2, at.y() - height() / 2);
}

void source_pie::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const int cx = width() / 2, cy = height() / 2, rx = width() / 2, ry = height() / 2;
    const QRectF ellipse(cx - rx, cy - ry, 2 * rx, 2 * ry);
    p.setPen(Qt::black);
    // Angles as the ellipse's parameter, so that each edge runs through its end point.
    const auto angle = [rx, ry](ViewPoint d) {
        return std::atan2(-double(d.y) / std::max(ry, 1), double(d.x) / std::max(rx, 1)) * 180.0 / M_PI;
    };
    for (const PieWedge& w : pieWedges(workspace_, rx, ry)) {
        p.setBrush(QBrush(piePatternTile(w.slot)));
        if (w.fullTurn) {
            p.drawEllipse(ellipse);
            continue;
        }
        // Counter-clockwise from this wedge's end point to the previous one.
        const double start = angle(w.to);
        double span = angle(w.from) - start;
        while (span <= 0)
            span += 360.0;
        p.drawPie(ellipse, int(std::lround(start * 16)), int(std::lround(span * 16)));
    }
}

void source_pie::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    hold_ = settings_.pressPie(percentAt(event->position().toPoint()));
    emit pressed();
    update();
}

void source_pie::mouseMoveEvent(QMouseEvent* event)
{
    const double percent = percentAt(event->position().toPoint());
    if ((event->buttons() & Qt::LeftButton) && hold_) {
        settings_.dragPie(*hold_, percent);
        update();
    }
    showStats(percent);
}

void source_pie::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    hold_.reset();
    closeStats();
}

void source_pie::leaveEvent(QEvent*)
{
    closeStats();
    // A message box over the pie is no way out of it.
    if (!rect().contains(mapFromGlobal(QCursor::pos())))
        noMiddleSourceShown_ = false;
}

void source_pie::showStats(double percent)
{
    if (!stats_) {
        stats_ = new source_pie_stats(dialog_);
        stats_->setGeometry(statsArea_);
    }
    const auto slot = wedgeAt(workspace_, percent);
    if (!slot) {
        if (!noMiddleSourceShown_) {
            noMiddleSourceShown_ = true;
            platform_.messageBox(kNoMiddleSourceText, MessageIcon::Information, MessageButtons::Ok);
        }
        return;
    }
    const VIrorozIzi* source = workspace_.source(*slot + 1);
    stats_->show(pieStatsLine(*slot + 1, workspace_.biasWeight[size_t(*slot)]), source ? source->title : "");
}

void source_pie::closeStats()
{
    delete stats_;
    stats_ = nullptr;
}

} // namespace tessary
