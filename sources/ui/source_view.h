#pragma once
#include "app/edit_path.h"
#include "app/notifications.h"
#include "sources/area_tools.h"

#include <QAbstractScrollArea>
#include <QImage>
#include <QPointer>
#include <array>
#include <cstdint>

class QTimer;

namespace tessary {

class CChildFrame;
class ChildWindow;
class MainFrame;
class MergeWorkspace;
class Platform;
class VIrorozIzi;
class picture_button;
class source_crop;

// The picture buttons next to a selected box and the size popup of a drag: one set for all
// source windows, so opening them in one window removes them from another.
struct SourceWindowFamily {
    // In order: crop, smooth blend, smooth unblend, make opaque, make transparent.
    std::array<QPointer<picture_button>, 5> buttons;
    QPointer<source_crop> sizePopup;

    bool buttonsShown() const;
    void removeButtons();
    void removeSizePopup();
};

inline constexpr const char* kSourceHoverTip = "This is a source image.";
inline constexpr const char* kSourceActivationTip
    = "You can drag the mouse to select an area which you can crop,\nmake transparent, make opaque,"
      "smooth blend and smooth unblend.";
inline constexpr const char* kNotProcessedText
    = "This source image has not been processed. Please delete it manually.";

// The source window's view (the program's VAvivedEred): the source image at full size with a
// dotted marking of its transparent and partly transparent pixels, box selection with the
// mouse, the picture buttons and the area tools, and the whole-mask commands of the Source menu.
class VAvivedEred : public QAbstractScrollArea, public WorkspaceObserver {
    Q_OBJECT
public:
    static constexpr int kAutoScrollMs = 50;
    // A box narrower or lower than this collapses to the release point and gets no buttons.
    static constexpr int kMinBoxWidth = 10;
    static constexpr int kMinBoxHeight = 8;
    // The mask is marked at every fifth column of every fifth row.
    static constexpr int kDotStep = 5;

    VAvivedEred(MergeWorkspace& workspace, Platform& platform, MainFrame& mainFrame,
        SourceWindowFamily& family, VIrorozIzi& doc, CChildFrame& frame);
    ~VAvivedEred() override;

    // The source number 1..8 (index in the windows table + 1).
    int number() const { return number_; }
    void setNumber(int number) { number_ = number; }
    VIrorozIzi* document() const { return doc_; }
    CChildFrame& frame() const { return frame_; }
    // The source has left its place: the view draws nothing and its commands do nothing.
    void detachDocument();

    // The window's first showing: its scroll range, then the new source's first transformation
    // with equal weights and the Average merge type (and the preview when two or more sources
    // are loaded). Returns the transformation's result.
    int firstShowing();

    // ---- box selection (image display coordinates)
    const SourceBox& box() const { return box_; }
    QPoint pointerPosition() const { return { pointerX_, pointerY_ }; }
    bool dragging() const { return dragging_; }
    bool autoScrolling() const;
    // One step of the drag's automatic scrolling; the timer runs it every kAutoScrollMs.
    void autoScroll();
    int32_t areaOperationCount() const { return areaOperationCount_; }
    // Reload Source starts the count again.
    void resetAreaOperationCount() { areaOperationCount_ = -1; }
    bool areaToolUsed() const { return areaToolUsed_; }

    // ---- commands (each first removes the picture buttons)
    void crop();
    void smoothBlend();
    void smoothUnblend();
    void makeOpaque();
    void makeTransparent();
    void makeAllTransparent();
    void makeAllOpaque();
    // The corrections of the Source menu: "Black and White" at once, the others in their modal
    // dialogs, whose Applies the window shows as they are made; a dialog that closes keeping its
    // change records it as one undo step (and the source counts as changed), one that takes it
    // back leaves the source as it was.
    void grayScale();
    void brightnessContrast();
    void trapezoid();
    void skew();
    void pincushion();
    void cylindricalProjection();
    void gridLines();

    // Scrolls the view by dx lines to the right and dy lines down (the "Scroll Source" arrows).
    void scrollByLines(int dx, int dy);

    void removePictureButtons();

    // The client-coordinate rectangle of picture button k (0..4) for a release at `release` in
    // a client area of `client` size.
    static QRect pictureButtonRect(int k, const QPoint& release, const QSize& client);

    // WorkspaceObserver
    void sourceImageChanged(int number) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int32_t imageWidth() const;
    int32_t imageHeight() const;
    QPoint scrollPosition() const;
    // Client position -> image display coordinates.
    QPoint toImage(const QPointF& client) const;
    void updateScrollRange();
    void showPictureButtons(const QPoint& release);
    void areaOperation(AreaOperation operation, const char* name);
    void wholeMask(uint16_t value, const char* name);
    // Records a mask change kept in `before` unless the mask came out as it was.
    void recordMaskEdit(const char* name, SourceImageBefore before);
    void removeTipWindow();
    void childEntered(ChildWindow* child);
    void childLeft(ChildWindow* child);
    void drawDottedBox(QPainter& painter, const QPoint& from, const QPoint& to) const;
    void drawMaskDots(QPainter& painter, const QRect& visible) const;
    template <class Dialog> void runCorrectionDialog(const char* name);

    MergeWorkspace& workspace_;
    Platform& platform_;
    MainFrame& mainFrame_;
    SourceWindowFamily& family_;
    VIrorozIzi* doc_;
    CChildFrame& frame_;
    int number_;

    SourceBox box_;
    int32_t pointerX_ = 0;
    int32_t pointerY_ = 0;
    bool dragging_ = false;
    // The finished box is outlined while its picture buttons are shown.
    bool boxShown_ = false;
    int32_t areaOperationCount_ = -1;
    bool areaToolUsed_ = false;
    QTimer* scrollTimer_ = nullptr;
};

} // namespace tessary
