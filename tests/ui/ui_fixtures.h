#pragma once
// Shared pieces of the window tests: a fake platform that fails the running Qt test, and a
// stand-in for the source-document layer that makes sources and their windows.
#include "app/ui/child_frame.h"
#include "app/ui/main_frame.h"
#include "app/workspace.h"
#include "support/fake_platform.h"

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QMenu>
#include <QMenuBar>
#include <QStringList>
#include <QtTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tessary::uitest {

// Runs `open`, which shows a modal dialog of type D and waits for it, while `use` works the
// dialog from inside its event loop. A dialog `use` leaves open is rejected afterwards.
template <typename D> bool withModal(const std::function<void()>& open, const std::function<void(D*)>& use)
{
    bool seen = false;
    QTimer::singleShot(0, [&] {
        QPointer<D> dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        seen = true;
        use(dialog);
        if (dialog && dialog->isVisible())
            dialog->reject();
    });
    open();
    return seen;
}

// Unexpected messages (and expected ones that never came) fail the running test with the text.
inline std::unique_ptr<testing::FakePlatform> makeFakePlatform()
{
    return std::make_unique<testing::FakePlatform>(
        [](const std::string& text) { QTest::qFail(text.c_str(), __FILE__, __LINE__); });
}

// Stands in for the source-document layer: a path containing "/bad" does not load; any other
// becomes a source document in the next place (observers hear of it) with a source window
// showing its number.
struct FakeSourceLayer {
    MergeWorkspace& workspace;
    MainFrame* frame = nullptr;
    std::vector<std::string> opened;

    bool open(const std::string& path)
    {
        opened.push_back(path);
        if (path.find("/bad") != std::string::npos || workspace.sourceCount >= kMaxSources)
            return false;
        auto doc = std::make_unique<VIrorozIzi>();
        doc->slotIndex = workspace.sourceCount;
        doc->filePath = path;
        VIrorozIzi* raw = doc.get();
        workspace.documents[size_t(workspace.sourceCount)] = std::move(doc);
        ++workspace.sourceCount;
        // As the source table does when a source is made.
        workspace.notify([](WorkspaceObserver& o) { o.sourcesRenumbered(); });
        if (frame) {
            auto* window = new CChildFrame(*frame, [raw] { return raw->number(); });
            window->setWindowTitle(QString::fromStdString(path));
            frame->addChild(window);
        }
        return true;
    }
};

// The labels of a menu's visible entries, separators left out.
inline QStringList entryLabels(const QMenu* menu)
{
    QStringList labels;
    for (const QAction* action : menu->actions())
        if (!action->isSeparator() && action->isVisible())
            labels << action->text();
    return labels;
}

inline QStringList menuTitles(const QMenuBar* bar)
{
    QStringList titles;
    for (const QAction* action : bar->actions())
        titles << action->text();
    return titles;
}

inline QMenu* menuNamed(const QMenuBar* bar, const QString& title)
{
    for (QAction* action : bar->actions())
        if (action->text() == title)
            return action->menu();
    return nullptr;
}

inline QAction* entry(const QMenu* menu, const QString& label)
{
    for (QAction* action : menu->actions())
        if (action->text() == label)
            return action;
    return nullptr;
}

} // namespace tessary::uitest
