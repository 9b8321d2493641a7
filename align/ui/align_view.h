#pragma once
#include "align/align_doc.h"
#include "align/outline_hit_test.h"
#include "align/quick_align.h"
#include "align/ui/align_buttons.h"
#include "app/notifications.h"

#include <QAction>
#include <QImage>
#include <QPointer>
#include <QPushButton>
#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <optional>

class QLineEdit;

namespace tessary {

class MainFrame;
class MergeWorkspace;
class Platform;
class flying_tips;

// The one view of the Align Window (the program's CAlignview). It paints the loading prompts
// with the startup tip banner while fewer than two sources are loaded, the align preview with
// the selected source's outline, handles and an information strip once two are, or the reason
// why there is no preview. The mouse moves, resizes and rotates the selected source on the
// preview; a right click and the digit keys 1 to 8 choose the selected source.
//
// The geometry (hit test, drag outlines, ratios, commit) and the texts are the Align core's;
// this class only gathers the state, routes the events and paints.
class CAlignview : public QWidget, public WorkspaceObserver {
    Q_OBJECT
public:
    CAlignview(MainFrame& frame, QWidget* parent = nullptr);
    ~CAlignview() override;

    // ---- view state (read by the tests and the Align Window)
    int32_t selectedSource() const;
    const Outline& workingOutline() const { return workingOutline_; }
    HitZone hitZone() const { return hitZone_; }
    bool handlesLit() const { return handlesLit_; }
    bool rotatingNow() const { return rotatingNow_; }
    bool dragging() const { return dragging_; }
    bool windowTooSmall() const { return windowTooSmall_; }
    int32_t tipPage() const { return tipPage_; }
    // The hover tip shown, kept by the frame: the source windows show their activation tip in it.
    flying_tips* tipWindow() const;
    QPushButton* loadImageButton() const { return loadImageButton_; }
    QPushButton* newTextButton() const { return newTextButton_; }
    QPushButton* previousTipButton() const { return previousTipButton_; }
    QPushButton* nextTipButton() const { return nextTipButton_; }
    QLineEdit* tipPageBox() const { return tipPageBox_; }
    // The quick-align strip on one side; null while there is none.
    align_buttons* strip(StripSide side) const { return strips_[size_t(side)]; }
    // The zone of the last strip click (-1 for the nudge arrow).
    int32_t quickAlignZone() const { return quickAlignZone_; }
    // Guides were drawn for a strip hover: the next hover over the view repaints without them.
    bool repaintOnReturn() const { return repaintOnReturn_; }
    // The guides painted over the preview while a strip zone is hovered.
    struct GuideOverlay {
        StripGuide guide;
        Outline zoneOutline;
    };
    const std::optional<GuideOverlay>& guideOverlay() const { return guide_; }

    // ---- startup tips
    // Where the banners are looked for after the current folder: the program's own folder
    // unless set otherwise.
    void setBannerFolder(const QString& folder) { bannerFolder_ = folder; }
    // Loads the banner of the current page (the Align document's creation loads page 1).
    void loadBanner();
    // Pages forward or back (no wrap-around), reloads the banner and repaints at once. Both work
    // only while no source is loaded.
    void nextStartupTip();
    void previousStartupTip();
    bool startupTipsEnabled() const;

    // ---- selection
    // Selects source `number` as the source toolbar, the digit keys and a right click do; a
    // number above the source count is ignored.
    void selectSource(int number);
    // The selection changed (from the source toolbar): take the source's outline, repaint, and
    // show the new source's angle in an open Rotate dialog.
    void followSelection(int number);
    // A document update: hint 1 selects source 1, 2 repaints the whole view, 0 refreshes the
    // toolbar state.
    void documentUpdate(int hint);

    // ---- the window around the view
    // The Align view became the active view: changed sources are transformed again.
    void activated();
    // The load image and new text buttons: in the middle while fewer than two sources are
    // loaded, in the top-left corner once two are.
    void layOutLoadButtons();

    // ---- model notifications
    void previewRebuilt() override;
    void sourcesRenumbered() override;
    void sourceImageChanged(int number) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    MergeWorkspace& workspace() const { return workspace_; }
    CAlignDoc& doc() const;
    double selectedRotation() const;
    const std::optional<Outline>& documentOutline() const;
    void copyOutline();
    void refreshPreviewImage();
    void refreshBannerImage();
    void createControls();
    void createLoadButtons();
    void updateStartupTipButtons();
    void updateWindowTooSmall();
    void setAlignTitle();

    // The quick-align strips exist while two or more sources have a valid preview; they sit
    // around the preview and are hidden while the view is being dragged on.
    void updateStrips();
    void removeStrips();
    void stripHovered(StripSide side, StripHit hit, QPoint at);
    void stripPressedMove();
    void stripClicked(StripSide side, StripHit hit);
    QWidget* alignFrameWindow();

    HitResult runHitTest(int32_t x, int32_t y);
    void closeTip();
    void hover(int32_t x, int32_t y);
    void leftButtonDown(int32_t x, int32_t y);
    void drag(int32_t x, int32_t y);
    void leftButtonUp();

    MainFrame& frame_;
    MergeWorkspace& workspace_;
    Platform& platform_;

    Outline workingOutline_ {};
    bool handlesLit_ = false;
    bool rotatingNow_ = false;
    bool windowTooSmall_ = false;
    HitZone hitZone_ = kHitNothing;
    ViewPoint dragStart_ {};
    double startAngle_ = 0.0;
    double rotationAtPress_ = 0.0;
    bool dragging_ = false;
    int32_t tipPage_ = 0;

    bool shown_ = false;
    QString bannerFolder_;
    QImage previewImage_;
    QImage bannerImage_;
    QPointer<QPushButton> loadImageButton_;
    QPointer<QPushButton> newTextButton_;
    QPushButton* previousTipButton_ = nullptr;
    QPushButton* nextTipButton_ = nullptr;
    QLineEdit* tipPageBox_ = nullptr;
    std::array<QPointer<align_buttons>, 4> strips_ {};
    int32_t quickAlignZone_ = -1;
    bool repaintOnReturn_ = false;
    std::optional<GuideOverlay> guide_;
};

inline const char* const kAlignWindowTitle = "Align Window";
inline const char* const kLoadSourcePrompt = "Load source 1";

} // namespace tessary
