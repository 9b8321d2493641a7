#pragma once
#include "app/open_image.h"
#include "app/recent_files.h"
#include "sources/stored_text.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tessary {

class CAlignChildWnd;
class CDestchild;
class HelpWindow;
class MainFrame;
class MergeWorkspace;
class Platform;

// The application object (the program's CTessaryApp): starts the program, keeps the settings
// between runs, and carries the file commands that create sources (Open Image, New Text, the
// recent-file entries, dropped files and files named on the command line), Exit, About and the
// user guide. The windows that make sources of their own (Paste, Send to new Source) reach the
// source-document layer through the main frame's SourceOpening.
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
        std::function<bool(const StoredText&)> createText;
    };

    CTessaryApp(Platform& platform, MergeWorkspace& workspace, OpenSourceFile openSourceFile,
        NewSources newSources = {});
    // Writes "flying tips" as the program ends.
    ~CTessaryApp() override;

    // The startup sequence: settings and recent files, tooltips, the main frame (shown), the
    // Target Window, flying tips, the Align Window in front. The files named in `arguments` are
    // kept for openCommandLineFiles.
    void start(const QStringList& arguments);
    // Opens the files named on the command line as sources, as a drop of them would (once the
    // source windows can be made).
    std::vector<OpenResult> openCommandLineFiles();

    MainFrame* mainFrame() const { return frame_.get(); }
    CAlignChildWnd* alignWindow() const { return alignWindow_; }
    CDestchild* targetWindow() const { return targetWindow_; }
    RecentFileList& recentFiles() { return recentFiles_; }

    // ---- commands
    OpenResult openImageCommand();
    OpenResult newTextCommand();
    // File > Open Arrangement...; true when an arrangement was opened.
    bool openArrangementCommand();
    OpenResult recentFileCommand(int index);
    std::vector<OpenResult> dropFiles(const std::vector<std::string>& paths);
    void exitCommand();
    void aboutCommand();
    // Shows `page` of the user guide in the help window (made on first use).
    void showHelp(const QString& page);
    HelpWindow* helpWindow() const;

protected:
    // A click on a link of a specific-help text shows that page of the guide.
    bool eventFilter(QObject* watched, QEvent* event) override;

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
    std::vector<std::string> commandLineFiles_;
    QPointer<HelpWindow> help_;
};

} // namespace tessary
