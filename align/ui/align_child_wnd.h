#pragma once
#include "app/ui/child_window.h"

namespace tessary {

class CAlignview;

// The Align Window (the program's CAlignChildWnd): the Align view and the Align menus. Of the
// Align menu "Flying Tips..." and the startup tip pages work; the placement commands that
// arrive later are found by object name (sizes, collage, rotate, mirror, editText, paste,
// resetSize, nudgeFactor) by the code that implements and enables them.
class CAlignChildWnd : public ChildWindow {
    Q_OBJECT
public:
    explicit CAlignChildWnd(MainFrame& frame);

    CAlignview* view() const { return view_; }
    void activated() override;

private:
    void askFlyingTips();
    CAlignview* view_ = nullptr;
};

inline const char* const kFlyingTipsQuestion = "Do you wish to enable flying tips for Tessary?";

} // namespace tessary
