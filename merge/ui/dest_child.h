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
// Still to come with their own parts of the program, present and disabled: printing ("Print...",
// "Print setup...", the zone's print button), "Fine Alignment", "Send to new Source" and the
// Merge Sources dialog ("Merge Sources" works now where it needs no dialog: when no two sources
// overlap).
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

    // The Merge Sources dialog, once it exists: "Merge Sources" opens it when sources overlap.
    void setMergeSourcesDialog(std::function<void()> open) { openMergeSourcesDialog_ = std::move(open); }

private:
    QAction* command(const char* name) const;
    void refreshTitle();
    void mergeSources();
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
    std::function<void()> openMergeSourcesDialog_;
};

} // namespace tessary
