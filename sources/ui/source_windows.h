#pragma once
#include "app/places.h"
#include "sources/edit_text.h"
#include "sources/stored_text.h"
#include "sources/ui/source_view.h"

#include <QObject>
#include <QPointer>
#include <string>

namespace tessary {

class CChildFrame;
class ChildWindow;
class MainFrame;
class MergeWorkspace;
class Platform;
class VIrorozIzi;

// The source kind of the program's document kinds: makes source documents with their windows
// (the windows table, indexed by source number - 1) and gives their places back when the
// windows close. The file commands reach it through openSourceFile.
class SourceWindows : public QObject {
    Q_OBJECT
public:
    SourceWindows(MergeWorkspace& workspace, Platform& platform);
    ~SourceWindows() override;

    // The main frame the windows open in, and the Align Window, which comes to the front when
    // a source closes. Until then no source can be made.
    void attach(MainFrame& frame, ChildWindow* alignWindow);

    // A new source from the image file at `path`: the document takes the next place and loads
    // the file (reporting what went wrong); a source that did not load gives its place back.
    // A loaded source gets its window, which shows for the first time. True when the source
    // was made.
    bool openSourceFile(const std::string& path);
    // A new source of the workspace's `pendingSourceKind`: a text source runs the text entry
    // (a cancelled or failed entry sets `pendingSourceKind` to "cancelled" and leaves no source);
    // a pasted or target-copy source takes the handed-over image. True when the source was made.
    bool createNewSource();
    // Closes every source window, the first remaining one each time.
    void closeAllSources();
    // Makes a text source from stored fields, without the text entry, with its window.
    bool createTextSource(const StoredText& text);
    // Reload Source of source `number`'s window.
    void reloadSource(int number);
    // The text entry as the source windows run it.
    TextEntryDialog textEntry();

    // The view and window of source `number` (1..8), or null.
    VAvivedEred* view(int number) const;
    CChildFrame* window(int number) const;
    SourceWindowFamily& family() { return family_; }

private:
    // The window of a source that was made: it takes the document's place and shows.
    void makeWindow(VIrorozIzi& doc);
    void windowClosing(VAvivedEred* view);
    // The Align view keeps its client size in the Align document; while it has not (a view
    // that was never laid out), the preview is fitted to the Align Window's present size.
    void ensureAlignViewSize();

    MergeWorkspace& workspace_;
    Platform& platform_;
    QPointer<MainFrame> frame_;
    QPointer<ChildWindow> alignWindow_;
    PerPlace<QPointer<VAvivedEred>> windows_ {};
    SourceWindowFamily family_;
};

} // namespace tessary
