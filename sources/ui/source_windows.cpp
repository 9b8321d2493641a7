#include "sources/ui/source_windows.h"

#include "app/platform.h"
#include "app/ui/child_frame.h"
#include "app/ui/main_frame.h"
#include "app/workspace.h"
#include "sources/load_image_file.h"
#include "sources/source_doc.h"
#include "sources/source_table.h"

#include <QMainWindow>
#include <cstdio>
#include <memory>

namespace tessary {

std::string cannotOpenFileText(const std::string& path)
{
    return "Cannot open the file " + path + ".";
}

SourceWindows::SourceWindows(MergeWorkspace& workspace, Platform& platform)
    : workspace_(workspace)
    , platform_(platform)
{
}

SourceWindows::~SourceWindows() = default;

void SourceWindows::attach(MainFrame& frame, ChildWindow* alignWindow)
{
    frame_ = &frame;
    alignWindow_ = alignWindow;
}

VAvivedEred* SourceWindows::view(int number) const
{
    if (number < 1 || number > kMaxSources)
        return nullptr;
    return windows_[size_t(number - 1)];
}

CChildFrame* SourceWindows::window(int number) const
{
    VAvivedEred* v = view(number);
    return v ? &v->frame() : nullptr;
}

void SourceWindows::ensureAlignViewSize()
{
    CAlignDoc& align = workspace_.alignDoc;
    if ((align.alignViewWidth >= 1 && align.alignViewHeight >= 1) || !alignWindow_)
        return;
    const QWidget* view = alignWindow_->body() ? alignWindow_->body()->centralWidget() : nullptr;
    const QSize size = view ? view->size() : alignWindow_->size();
    align.alignViewWidth = size.width();
    align.alignViewHeight = size.height();
}

bool SourceWindows::openSourceFile(const std::string& path)
{
    if (!frame_)
        return false;
    // The file must at least open for reading before a place is taken for it.
    if (std::FILE* file = std::fopen(path.c_str(), "rb"))
        std::fclose(file);
    else {
        platform_.messageBox(cannotOpenFileText(path), MessageIcon::Error, MessageButtons::Ok);
        return false;
    }

    VIrorozIzi* doc = constructSource(workspace_);
    if (!doc)
        return false;
    if (!loadImageFile(*doc, path, platform_)) {
        discardUnmadeSource(workspace_, doc->number());
        return false;
    }
    doc->title = sourceTitleForPath(path);

    // The number shown follows the view, which is made after its frame.
    auto shownView = std::make_shared<QPointer<VAvivedEred>>();
    auto* window = new CChildFrame(*frame_, [shownView]() {
        const VAvivedEred* v = *shownView;
        return v && v->document() ? v->number() : -1;
    });
    window->setWindowTitle(QString::fromStdString(doc->title));
    auto* view = new VAvivedEred(workspace_, platform_, *frame_, family_, *doc, *window);
    window->setView(view);
    *shownView = view;
    windows_[size_t(doc->slotIndex)] = view;
    window->setClosingHandler([this, view] { windowClosing(view); });

    ensureAlignViewSize();
    view->firstShowing();
    frame_->addChild(window);
    return true;
}

void SourceWindows::windowClosing(VAvivedEred* view)
{
    if (!view || !view->document())
        return;
    SourceClosingHooks hooks;
    hooks.fewerThanTwoRemain = [this] {
        if (frame_ && frame_->sharedWindows().rotateDialog)
            frame_->sharedWindows().rotateDialog->close();
    };
    hooks.moveWindows = [this](int closed, int count) {
        for (int i = closed; i < count; ++i) {
            windows_[size_t(i)] = windows_[size_t(i) + 1];
            if (windows_[size_t(i)])
                windows_[size_t(i)]->setNumber(i + 1);
        }
        windows_[size_t(count)] = nullptr;
    };
    hooks.alignToFront = [this](bool) {
        // Laying the Align Window out again is its own answer to the rebuilt preview.
        if (frame_ && alignWindow_)
            frame_->activateChild(alignWindow_);
    };
    closeSource(workspace_, platform_, view->number(), hooks);
    view->detachDocument();
}

} // namespace tessary
