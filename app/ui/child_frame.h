#pragma once
#include "app/ui/child_window.h"

#include <functional>

class QAction;
class QToolBar;

namespace tessary {

// The frame of a source window (the program's CChildFrame): its own toolbar of source
// commands, and the source menus (File with "Close this Source Image", Source, Help). The
// source view is set with setView; the number shown comes from `sourceNumber`, which follows
// the source's place when earlier sources close.
//
// The Source menu and toolbar commands share one QAction each between menu and toolbar. They
// carry the object names reload, grayScale, brightnessContrast, cylindricalProjection,
// trapezoid, skew, gridLines, pincushion, makeAllTransparent, makeAllOpaque, and are all typed
// members: Reload is run by the source-document layer and enabled while the window has its
// source, the corrections and whole-mask commands are implemented by the source view and
// enabled while the source has an image (updateActions).
class CChildFrame : public ChildWindow {
    Q_OBJECT
public:
    CChildFrame(MainFrame& frame, std::function<int()> sourceNumber);

    int sourceNumber() const override { return sourceNumber_ ? sourceNumber_() : -1; }
    QToolBar* toolBar() const { return toolBar_; }
    // Run once when the window accepts a request to close (close box or "Close this Source
    // Image"), before it goes: the source leaves its place. Not run while the main frame
    // itself is closing.
    void setClosingHandler(std::function<void()> handler) { closingHandler_ = std::move(handler); }

    QAction* reload() const { return reload_; }
    QAction* grayScale() const { return grayScale_; }
    QAction* brightnessContrast() const { return brightnessContrast_; }
    QAction* trapezoid() const { return trapezoid_; }
    QAction* skew() const { return skew_; }
    QAction* cylindricalProjection() const { return cylindricalProjection_; }
    QAction* gridLines() const { return gridLines_; }
    QAction* pincushion() const { return pincushion_; }
    QAction* makeAllTransparent() const { return makeAllTransparent_; }
    QAction* makeAllOpaque() const { return makeAllOpaque_; }
    // Enables the corrections from the source's state: on activation and whenever the view
    // hears that the source's image changed.
    void updateActions();
    void activated() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::function<int()> sourceNumber_;
    std::function<void()> closingHandler_;
    QToolBar* toolBar_ = nullptr;
    QAction* reload_ = nullptr;
    QAction* grayScale_ = nullptr;
    QAction* brightnessContrast_ = nullptr;
    QAction* trapezoid_ = nullptr;
    QAction* skew_ = nullptr;
    QAction* cylindricalProjection_ = nullptr;
    QAction* gridLines_ = nullptr;
    QAction* pincushion_ = nullptr;
    QAction* makeAllTransparent_ = nullptr;
    QAction* makeAllOpaque_ = nullptr;
};

} // namespace tessary
