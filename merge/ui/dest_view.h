#pragma once
#include "align/align_doc.h"
#include "app/notifications.h"
#include "app/ui/flying_tips.h"
#include "merge/ui/dest_coords.h"
#include "merge/ui/target_buttons.h"
#include "sources/ui/picture_buttons.h"

#include <QAbstractScrollArea>
#include <QPointer>

class QTimer;

namespace tessary {

class MergeWorkspace;
class Platform;

// The Target view (the program's CDestview): the generated target drawn at the viewing size
// with a cross-hatched surround, or, while there is no target, guidance texts on a gradient and
// the "Load Target" button. With a generated target the user drags a zone (snapped to the
// workspace's snap grid, at least 64 target pixels each way) for saving or printing only that
// part; a finished zone gets a save and a print button beside it. A 50 ms timer scrolls the
// view during a drag and advances the workspace's tip counter.
//
// The zone corners and the snap grid live in the workspace (targetView); the drag state, the
// buttons and the pop-up live here.
class CDestview : public QAbstractScrollArea, public WorkspaceObserver {
    Q_OBJECT
public:
    static constexpr int kTimerIntervalMs = 50;

    // `tipSlot` is where the Align Window keeps its open flying tip: the "Load Target" button's
    // tip is recorded there, so that whichever window sees the pointer next closes it. Without
    // one the view keeps its tip itself.
    CDestview(MergeWorkspace& workspace, Platform& platform, QWidget* parent = nullptr,
        QPointer<flying_tips>* tipSlot = nullptr);
    ~CDestview() override;

    // The target is no longer current: the zone and its buttons go, the "Load Target" button is
    // made afresh, and the view is repainted (the workspace side is invalidateTarget).
    void targetInvalidated() override;
    void targetGenerated() override;
    void previewRebuilt() override;
    void sourcesRenumbered() override;

    // "Save zone to file.": Save As for the zone, then the zone is gone, also after a cancel.
    void saveZone();

    // The scroll range follows the document: (viewWidth, viewHeight).
    void updateScrollRange();
    // Scrolls by dx lines to the right and dy lines down (the dialogs' "Scroll Target" arrows).
    void scrollByLines(int dx, int dy);
    // The scroll position as a point.
    ViewPoint scrollPosition() const;

    bitmap_target_button* loadTargetButton() const { return loadTargetButton_; }
    prompt* zoneSaveButton() const { return zoneSaveButton_; }
    print_prompt* zonePrintButton() const { return zonePrintButton_; }
    dest_coords* coordsPopup() const { return coordsPopup_; }
    flying_tips* openTip() const { return *tipSlot_; }
    bool dragging() const { return dragging_; }
    bool autoScrolling() const { return autoScroll_; }
    ViewPoint dragPoint() const { return dragPoint_; }

signals:
    // The target document changed (generated, invalidated, zone saved): its window refreshes
    // its title and commands.
    void documentChanged();
    // "print zone": the zone's print button was pressed (the window prints).
    void printZoneRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    // The zone buttons name themselves in status pane 2 while the pointer is over them.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void paintTarget(QPainter& painter, const QRect& exposed);
    void paintEmpty(QPainter& painter);
    void drawDottedRect(QPainter& painter, ViewPoint a, ViewPoint b);
    void tick();
    void removeZoneButtons();
    void removeLoadTargetButton();
    void createLoadTargetButton();
    // The button follows the model: see loadTargetButtonShown.
    void showLoadTargetButtonIfNeeded();
    void showZoneButtons(const QPoint& release);
    void closePopup();
    void closeTip();
    void loadTargetHovered();
    void generate();
    ViewPoint viewPoint(const QPoint& client) const;

    MergeWorkspace& workspace_;
    Platform& platform_;
    QTimer* timer_ = nullptr;
    bool shown_ = false;
    QPointer<bitmap_target_button> loadTargetButton_;
    QPointer<prompt> zoneSaveButton_;
    QPointer<print_prompt> zonePrintButton_;
    QPointer<dest_coords> coordsPopup_;
    QPointer<flying_tips> ownTip_;
    QPointer<flying_tips>* tipSlot_ = nullptr;
    ViewPoint dragPoint_ {};
    // Where the rubber band ends: the pointer at its last move during a drag.
    ViewPoint bandPoint_ {};
    bool dragging_ = false;
    bool autoScroll_ = false;
};

} // namespace tessary
