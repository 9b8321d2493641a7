#pragma once
#include "merge/bias_pie.h"

#include <QWidget>
#include <functional>
#include <optional>

namespace tessary {

class MergeSettings;
class MergeWorkspace;
class Platform;

// The statistics of the wedge under the pointer (the program's source_pie_stats): a small
// borderless window with the source's number and weight, and its title below.
class source_pie_stats : public QWidget {
    Q_OBJECT
public:
    explicit source_pie_stats(QWidget* parent);
    void show(const std::string& line, const std::string& title);
    QString line() const { return line_; }
    QString title() const { return title_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QString line_;
    QString title_;
};

// The bias-weight pie of the Merge Sources dialog (the program's source_pie): the middle-layer
// sources' wedges in their patterns; pressing and dragging moves the boundary at the end of
// the wedge under the pointer; hovering shows the wedge's statistics in the window placed at
// `statsArea`.
class source_pie : public QWidget {
    Q_OBJECT
public:
    static constexpr const char* kNoMiddleSourceText
        = "No source selected for the middle blend layer.\n\nThis is ok if you wish to overlay opaque layers "
          "only.";

    source_pie(MergeWorkspace& workspace, MergeSettings& settings, Platform& platform, QRect statsArea,
        QWidget* dialog);

    source_pie_stats* stats() const { return stats_; }
    // The pointer percent of a point of this widget.
    double percentAt(QPoint at) const;

signals:
    // The user pressed on the pie: the settings count as changed.
    void pressed();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void showStats(double percent);
    void closeStats();

    MergeWorkspace& workspace_;
    MergeSettings& settings_;
    Platform& platform_;
    QRect statsArea_;
    QWidget* dialog_;
    source_pie_stats* stats_ = nullptr;
    std::optional<WedgeHold> hold_;
    bool noMiddleSourceShown_ = false;
};

// The 7 x 7 fill pattern of source `slot` in the pie.
QImage piePatternTile(int32_t slot);

} // namespace tessary
