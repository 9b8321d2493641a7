#pragma once
#include "app/notifications.h"
#include "app/ui/child_window.h"
#include "output/ui/print_target.h"

#include <functional>
#include <memory>

class QPrinter;

namespace tessary {

class CDestview;
class MergeWorkspace;
class Platform;

// The Target Window (the program's CDestchild): the Target view and the menus of the target.
// Its commands are found by object name: saveAs, saveTilesAs, print, printSetup, mergeSources,
// fineAlignment, contrastBrightness, snapTo1, snapTo5, snapTo10, snapTo16, viewingSize,
// backgroundColor, setMargins, setMarginColor, sendToNewSource, setMergeDefaults, batchMerge. The key S
// (without modifier) runs "Save As..." while this window is active.
//
// "Merge Sources" generates at once when no two sources overlap and opens the Merge Sources
// dialog otherwise; "Fine Alignment" opens the Fine Adjustment dialog.
// "&Print...", the zone's print button and "Print setup..." share the window's one printer.
//
// Still to come with its own part of the program, present and disabled: "Send to new Source".
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
    QAction* printCommand() const override { return print_; }

    void previewRebuilt() override { updateActions(); }
    void sourcesRenumbered() override { updateActions(); }

    // The printer "&Print..." and "Print setup..." work on, made when first needed.
    QPrinter& printer();
    // The print dialogs (the platform's unless a test puts its own).
    void setPrinterDialogs(PrinterDialogs dialogs) { printerDialogs_ = std::move(dialogs); }

private:
    void refreshTitle();
    void mergeSources();
    void fineAlignment();
    void contrastBrightness();
    void viewingSize();
    void setMargins();
    void saveAs();
    void saveTilesAs();
    void afterZoneChange();
    void print();

    MergeWorkspace& workspace_;
    Platform& platform_;
    CDestview* view_ = nullptr;
    QAction* saveAs_ = nullptr;
    QAction* saveTilesAs_ = nullptr;
    QAction* print_ = nullptr;
    std::unique_ptr<QPrinter> printer_;
    PrinterDialogs printerDialogs_ = platformPrinterDialogs();
    QAction* mergeSources_ = nullptr;
    QAction* fineAlignment_ = nullptr;
    QAction* contrastBrightness_ = nullptr;
    QAction* sendToNewSource_ = nullptr;
    QAction* setMergeDefaults_ = nullptr;
    QAction* batchMerge_ = nullptr;
};

} // namespace tessary
