#pragma once
#include "app/ui/child_window.h"

#include <functional>

class QToolBar;

namespace tessary {

// The frame of a source window (the program's CChildFrame): its own toolbar of source
// commands, and the source menus (File with "Close this Source Image", Source, Help). The
// source view is set with setView; the number shown comes from `sourceNumber`, which follows
// the source's place when earlier sources close.
//
// The Source menu and toolbar commands are each implemented by the part of the program that
// owns the source corrections; until then they are present and disabled. They are found by
// object name: reload, grayScale, brightnessContrast, cylindricalProjection, trapezoid, skew,
// gridLines, pincushion, makeAllTransparent, makeAllOpaque (the menu entries and the toolbar
// buttons share one QAction each).
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

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    std::function<int()> sourceNumber_;
    std::function<void()> closingHandler_;
    QToolBar* toolBar_ = nullptr;
};

} // namespace tessary
