#pragma once
#include "app/ui/child_window.h"

#include <functional>

class QTimer;

namespace tessary {

class CDestview;
class MergeWorkspace;
class Platform;

// The Target Window (the program's CDestchild): the Target view and the menus of the target.
// Its commands are found by object name: saveAs, saveTilesAs, print, printSetup, mergeSources,
// fineAlignment, contrastBrightness, snapTo1, snapTo5, snapTo10, snapTo16, viewingSize,
// backgroundColor, setMargins, setMarginColor, sendToNewSource, setMergeDefaults. The key S
// (without modifier) runs "Save As..." while this window is active.
//
// "Merge Sources" generates at once when no two sources overlap and opens the Merge Sources
// dialog otherwise; "Fine Alignment" opens the Fine Adjustment dialog.
//
// Still to come with their own parts of the program, present and disabled: printing ("Print...",
// "Print setup...", the zone's print button) and "Send to new Source".
class CDestchild : public ChildWindow {
    Q_OBJECT
public:
    // How often the commands are enabled afresh from the workspace (the framework's idle time).
    static constexpr int kCommandUpdateMs = 100;

    explicit CDestchild(MainFrame& frame);

    CDestview* view() const { return view_; }
    // Enables every command from the current state of the workspace.
    void updateCommands();
    void activated() override;

private:
    QAction* command(const char* name) const;
    void refreshTitle();
    void mergeSources();
    void fineAlignment();
    void contrastBrightness();
    void viewingSize();
    void setMargins();
    void saveAs();
    void saveTilesAs();
    void afterZoneChange();

    MergeWorkspace& workspace_;
    Platform& platform_;
    CDestview* view_ = nullptr;
    QTimer* commandTimer_ = nullptr;
};

} // namespace tessary
