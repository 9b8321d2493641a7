#pragma once
#include "app/ui/child_window.h"

namespace tessary {

// The Target Window (the program's CDestchild). Its view is a plain placeholder for now; its
// menus are complete and their commands, found by object name by the Target view and the
// output dialogs that implement them, are disabled until then: saveAs, saveTilesAs, print,
// printSetup, mergeSources, fineAlignment, contrastBrightness, snapTo1, snapTo5, snapTo10,
// snapTo16, viewingSize, backgroundColor, setMargins, setMarginColor, sendToNewSource,
// setMergeDefaults. The key S (without modifier) runs "Save As..." while this window is active.
class CDestchild : public ChildWindow {
    Q_OBJECT
public:
    explicit CDestchild(MainFrame& frame);
};

} // namespace tessary
