#pragma once
#include "app/notifications.h"
#include "app/ui/child_window.h"

#include <functional>

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
class CDestchild : public ChildWindow, public WorkspaceObserver {
    Q_OBJECT
public:
    explicit CDestchild(MainFrame& frame);
    ~CDestchild() override;

    CDestview* view() const { return view_; }
    // Enables every command from the current state of the workspace: on activation, when the
    // target document changes and when the model says the sources or the preview changed.
    void updateActions();
    void activated() override;

    void previewRebuilt() override { updateActions(); }
    void sourcesRenumbered() override { updateActions(); }

    // The Merge Sources dialog, once it exists: "Merge Sources" opens it when sources overlap.
    void setMergeSourcesDialog(std::function<void()> open) { openMergeSourcesDialog_ = std::move(open); }

private:
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
    QAction* saveAs_ = nullptr;
    QAction* saveTilesAs_ = nullptr;
    QAction* mergeSources_ = nullptr;
    QAction* contrastBrightness_ = nullptr;
    QAction* setMergeDefaults_ = nullptr;
    std::function<void()> openMergeSourcesDialog_;
};

} // namespace tessary
