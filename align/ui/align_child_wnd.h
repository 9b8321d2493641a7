#pragma once
#include "app/ui/child_window.h"

namespace tessary {

// The Align Window (the program's CAlignChildWnd). Its view is a plain placeholder for now;
// its menus are complete. Of the Align menu only "Flying Tips..." works yet: the placement
// commands are found by object name (sizes, collage, rotate, mirror, editText, paste,
// resetSize, nudgeFactor, nextStartupTip, previousStartupTip) by the Align view that will
// implement and enable them.
class CAlignChildWnd : public ChildWindow {
    Q_OBJECT
public:
    explicit CAlignChildWnd(MainFrame& frame);

private:
    void askFlyingTips();
};

inline const char* const kFlyingTipsQuestion = "Do you wish to enable flying tips for Tessary?";

} // namespace tessary
