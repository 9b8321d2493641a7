#pragma once
#include "app/notifications.h"
#include "app/ui/child_window.h"

class QAction;

namespace tessary {

class CAlignview;
class MergeWorkspace;
enum class Axis;

// The Align Window (the program's CAlignChildWnd): the Align view, the Align menus and the
// commands of the Align toolbars. Its commands are enabled in one place, updateActions, run on
// activation and whenever the model says the sources or the preview changed: "Rotate...",
// "Sizes...", "Collage...", "Mirror horizontally", "Edit text...", "Reset size of selected
// source" and the centre, stretch and edit-text buttons need two sources and a valid preview;
// "Paste" follows the clipboard (run again when the clipboard changes); "nudge factor..." and
// "Flying Tips..." are always there; the startup tip pages only while no source is loaded; the
// source buttons follow the source count.
class CAlignChildWnd : public ChildWindow, public WorkspaceObserver {
    Q_OBJECT
public:
    explicit CAlignChildWnd(MainFrame& frame);
    ~CAlignChildWnd() override;

    CAlignview* view() const { return view_; }
    void activated() override;
    void updateActions();

    void previewRebuilt() override { updateActions(); }
    void sourcesRenumbered() override { updateActions(); }

    // ---- the Align menu, in its order
    QAction* sizes() const { return sizes_; }
    QAction* collage() const { return collage_; }
    QAction* rotate() const { return rotate_; }
    QAction* mirror() const { return mirror_; }
    QAction* editText() const { return editText_; }
    QAction* paste() const { return paste_; }
    QAction* resetSize() const { return resetSize_; }
    QAction* nudgeFactor() const { return nudgeFactor_; }
    QAction* flyingTips() const { return flyingTips_; }
    QAction* fileTransparency() const { return fileTransparency_; }
    QAction* nextStartupTip() const { return nextTip_; }
    QAction* previousStartupTip() const { return previousTip_; }

private:
    void createAlignMenu();
    void connectToolBar();
    void askFlyingTips();
    void useFileTransparency(bool on);
    void openRotate();
    void openCollage();
    void openSizes();
    void openNudgeFactor();
    void editSelectedSourceText();
    void centre(Axis axis);
    void stretch(Axis axis);

    MergeWorkspace& workspace_;
    CAlignview* view_ = nullptr;
    QAction* sizes_ = nullptr;
    QAction* collage_ = nullptr;
    QAction* rotate_ = nullptr;
    QAction* mirror_ = nullptr;
    QAction* editText_ = nullptr;
    QAction* paste_ = nullptr;
    QAction* resetSize_ = nullptr;
    QAction* nudgeFactor_ = nullptr;
    QAction* flyingTips_ = nullptr;
    QAction* fileTransparency_ = nullptr;
    QAction* nextTip_ = nullptr;
    QAction* previousTip_ = nullptr;
};

inline const char* const kFlyingTipsQuestion = "Do you wish to enable flying tips for Tessary?";

} // namespace tessary
