#pragma once
// The program as started by main(), with the real source windows and a fake platform, and
// small BMP files written into a temporary folder for it to open.
#include "align/ui/align_child_wnd.h"
#include "app/ui/app_actions.h"
#include "app/ui/child_frame.h"
#include "app/ui/main_frame.h"
#include "app/ui/tessary_app.h"
#include "app/workspace.h"
#include "image/bmp_writer.h"
#include "image/masked_dib.h"
#include "merge/ui/dest_child.h"
#include "sources/source_doc.h"
#include "sources/ui/source_view.h"
#include "sources/ui/source_windows.h"
#include "ui_fixtures.h"

#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <functional>

namespace tessary::uitest {

// Writes a w x h 24-bit BMP into `folder` whose pixel at column x and stored row r is
// colour(x, r); its path, or nothing when it could not be written.
inline std::string writeTestBmp(const QTemporaryDir& folder, const std::string& name, int32_t w, int32_t h,
    const std::function<BgrColour(int32_t, int32_t)>& colour = {})
{
    MaskedDib image;
    if (allocateMaskedDib(h, w, image, 24))
        return {};
    for (int32_t r = 0; r < h; ++r)
        for (int32_t x = 0; x < w; ++x) {
            const BgrColour c = colour ? colour(x, r) : BgrColour { 200, 220, 240 };
            uint8_t* p = image.dib->row(r) + 3 * x;
            p[0] = c.blue;
            p[1] = c.green;
            p[2] = c.red;
        }
    const std::string path = folder.filePath(QString::fromStdString(name)).toStdString();
    if (!writeBmpFile(*image.dib, path))
        return {};
    return path;
}

struct SourceProgram {
    std::unique_ptr<testing::FakePlatform> platform = makeFakePlatform();
    MergeWorkspace workspace;
    SourceWindows sources { workspace, *platform };
    CTessaryApp app { *platform, workspace,
        [this](const std::string& path) { return sources.openSourceFile(path); },
        { [this] { return sources.createNewSource(); }, [this] { sources.closeAllSources(); },
            [this](const StoredText& text) { return sources.createTextSource(text); } } };
    QTemporaryDir folder;

    // `arguments` is the command line; main() would open the files it names next.
    explicit SourceProgram(const QStringList& arguments = { "tessary" })
    {
        app.start(arguments);
        sources.attach(*app.mainFrame(), app.alignWindow());
    }
    MainFrame& frame() { return *app.mainFrame(); }
    QString pane(int i)
    {
        frame().refreshStatusText();
        return frame().pane(i)->text();
    }

    std::string writeBmp(const std::string& name, int32_t w, int32_t h,
        const std::function<BgrColour(int32_t, int32_t)>& colour = {})
    {
        return writeTestBmp(folder, name, w, h, colour);
    }

    // Open Image with the chooser answering `path`.
    OpenResult openImage(const std::string& path, int filterIndex = 1)
    {
        platform->openAnswers.push_back(FileDialogResult { path, filterIndex });
        return app.openImageCommand();
    }

    // Opens a new w x h source named after its number.
    VAvivedEred* addSource(int32_t w, int32_t h)
    {
        const std::string name = "s" + std::to_string(workspace.sourceCount + 1) + ".bmp";
        if (openImage(writeBmp(name, w, h)) != OpenResult::Created)
            return nullptr;
        return sources.view(workspace.sourceCount);
    }

    void drop(const std::vector<std::string>& paths)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const std::string& path : paths)
            urls << QUrl::fromLocalFile(QString::fromStdString(path));
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&frame(), &enter);
        QDropEvent dropped(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&frame(), &dropped);
    }

    QStringList tabTitles()
    {
        QStringList titles;
        for (QMdiSubWindow* w : frame().mdiArea()->subWindowList())
            titles << w->windowTitle();
        return titles;
    }

    // Lets windows closed by a command go, as the event loop would.
    static void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
};

} // namespace tessary::uitest
