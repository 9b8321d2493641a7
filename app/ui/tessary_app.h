#pragma once
#include "app/open_image.h"
#include "app/recent_files.h"

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tessary {

class CAlignChildWnd;
class CDestchild;
class MainFrame;
class MergeWorkspace;
class Platform;

// The application object (the program's CTessaryApp): starts the program, keeps the settings
// between runs, and carries the file commands that create sources (Open Image, New Text, the
// recent-file entries, dropped files), Exit and About. The windows that make sources of their
// own (Paste, Send to new Source) reach the source-document layer through the main frame's
// SourceOpening.
class CTessaryApp : public QObject {
    Q_OBJECT
public:
    // Makes a source document from an image file and reports load errors itself; true when the
    // source was created. Supplied by the source-document layer.
    using OpenSourceFile = std::function<bool(const std::string& path)>;

    // The other ways the source-document layer makes and removes sources: a new source of the
    // workspace's `pendingSourceKind`, and closing every source.
    struct NewSources {
        std::function<bool()> create;
        std::function<void()> closeAll;
    };

    CTessaryApp(Platform& platform, MergeWorkspace& workspace, OpenSourceFile openSourceFile,
        NewSources newSources = {});
    // Writes "flying tips" as the program ends.
    ~CTessaryApp() override;

    // The startup sequence: settings and recent files, tooltips, the main frame (shown), the
    // Target Window, flying tips, the Align Window in front.
    void start(const QStringList& arguments);

    MainFrame* mainFrame() const { return frame_.get(); }
    CAlignChildWnd* alignWindow() const { return alignWindow_; }
    CDestchild* targetWindow() const { return targetWindow_; }
    RecentFileList& recentFiles() { return recentFiles_; }

    // ---- commands
    OpenResult openImageCommand();
    OpenResult newTextCommand();
    OpenResult recentFileCommand(int index);
    std::vector<OpenResult> dropFiles(const std::vector<std::string>& paths);
    void exitCommand();
    void aboutCommand();

private:
    SourceOpening sourceOpening();
    void afterSourceCreated();
    void showRecentFiles();

    Platform& platform_;
    MergeWorkspace& workspace_;
    OpenSourceFile openSourceFile_;
    NewSources newSources_;
    RecentFileList recentFiles_;
    std::unique_ptr<MainFrame> frame_;
    CAlignChildWnd* alignWindow_ = nullptr;
    CDestchild* targetWindow_ = nullptr;
};

} // namespace tessary
