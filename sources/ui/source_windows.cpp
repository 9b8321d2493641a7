#include "sources/ui/source_windows.h"

#include "app/platform.h"
#include "app/ui/child_frame.h"
#include "app/ui/main_frame.h"
#include "app/workspace.h"
#include "sources/handoff.h"
#include "sources/load_image_file.h"
#include "sources/reload_source.h"
#include "sources/source_doc.h"
#include "sources/source_table.h"
#include "sources/stored_text.h"
#include "sources/ui/text_entry.h"

#include <QAction>
#include <QMainWindow>
#include <cstdio>
#include <memory>

namespace tessary {

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
    if (!fileOpensForReading(path, platform_))
        return false;

    VIrorozIzi* doc = constructFilledSource(
        workspace_, [&](VIrorozIzi& made) { return loadSourceFile(made, path, platform_); });
    if (!doc)
        return false;
    makeWindow(*doc);
    return true;
}

bool SourceWindows::createNewSource()
{
    if (!frame_)
        return false;
    const int32_t kind = workspace_.app.pendingSourceKind;
    VIrorozIzi* doc = constructFilledSource(workspace_, [&](VIrorozIzi& made) {
        if (kind == kSourceTargetCopy || kind == kSourcePaste)
            return adoptHandoff(workspace_, made, kind);
        if (kind != kSourceText)
            return false;
        if (editText(workspace_, platform_, made, 0, textEntry()) == TextEntryResult::Rendered)
            return true;
        workspace_.app.pendingSourceKind = made.sourceKind = kSourceTextCancelled;
        return false;
    });
    if (!doc)
        return false;
    makeWindow(*doc);
    return true;
}

bool SourceWindows::createTextSource(const StoredText& text)
{
    if (!frame_)
        return false;
    VIrorozIzi* doc = constructFilledSource(
        workspace_, [&](VIrorozIzi& made) { return makeStoredTextSource(made, text, platform_); });
    if (!doc)
        return false;
    makeWindow(*doc);
    return true;
}

void SourceWindows::closeAllSources()
{
    for (int i = 0; i < kMaxSources; ++i)
        if (CChildFrame* first = window(1))
            first->close();
}

void SourceWindows::reloadSource(int number)
{
    VAvivedEred* v = view(number);
    VIrorozIzi* doc = v ? v->document() : nullptr;
    if (!doc)
        return;
    v->removePictureButtons();
    tessary::reloadSource(workspace_, platform_, *doc, textEntry());
    v->resetAreaOperationCount();
}

TextEntryDialog SourceWindows::textEntry()
{
    return textEntryDialog(frame_, platform_);
}

void SourceWindows::makeWindow(VIrorozIzi& source)
{
    VIrorozIzi* doc = &source;
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

    connect(window->reload(), &QAction::triggered, view, [this, view] { reloadSource(view->number()); });

    ensureAlignViewSize();
    view->firstShowing();
    frame_->addChild(window);
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
