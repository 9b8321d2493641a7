#include "app/ui/child_frame.h"

#include "app/ui/app_actions.h"
#include "app/ui/command.h"
#include "app/ui/main_frame.h"
#include "app/ui/toolbar_pictures.h"
#include "app/workspace.h"
#include "sources/source_doc.h"

#include <QCloseEvent>
#include <QMainWindow>
#include <QMenu>
#include <QToolBar>

namespace tessary {

CChildFrame::CChildFrame(MainFrame& frame, std::function<int()> sourceNumber)
    : ChildWindow(Kind::Source, frame)
    , sourceNumber_(std::move(sourceNumber))
{
    setObjectName("CChildFrame");
    AppActions& app = frame.actions();

    QMenu* file = addMenu("&File", "fileMenu");
    app.addOpenCommands(file);
    QAction* close = makeCommand(this, "closeSource", "Close this Source Image", "Close this source image");
    connect(close, &QAction::triggered, this, &QWidget::close);
    file->addAction(close);
    app.addRecentFiles(file);
    app.addExit(file);

    struct Command {
        const char* name;
        const char* label;
        const char* prompt;
        const char* tip;
        Picture picture;
        // The typed member of the command.
        QAction** member = nullptr;
    };
    const Command commands[] = {
        { "reload", "Reload Source",
            "Remove any changes and reload this source - or - if text then this allows edit of that text",
            "Reload", Picture::Reload, &reload_ },
        { "grayScale", "Black and White", "Convert this source to gray scale", "Gray scale",
            Picture::GrayScale, &grayScale_ },
        { "brightnessContrast", "Brightness and Contrast...", "Adjust the brightness and contrast",
            "Brightness and contrast", Picture::BrightnessContrast, &brightnessContrast_ },
        { "cylindricalProjection", "Cylindrical Projection...", "Set cylindrical projection mode",
            "Cylindrical projection", Picture::CylindricalProjection, &cylindricalProjection_ },
        { "trapezoid", "Trapezoid...", "Distort this source to a trapezoid shape", "Trapezoid",
            Picture::Trapezoid, &trapezoid_ },
        { "skew", "Skew", "Skew this source image", "Skew", Picture::Skew, &skew_ },
        { "gridLines", "Overlay Grid...", "Overlay with grid lines of any distance or color.", "Grid lines",
            Picture::GridLines, &gridLines_ },
        { "pincushion", "Pincushion...", "Adjust out pincushion or barrel distortion",
            "Pincushion/barrel distortion", Picture::Pincushion, &pincushion_ },
        { "makeAllTransparent", "Make all transparent", "Make whole of source image transparent.",
            "Make All Transparent", Picture::MakeAllTransparent, &makeAllTransparent_ },
        { "makeAllOpaque", "Make all opaque", "Make whole of source image opaque.", "Make All Opaque",
            Picture::MakeAllOpaque, &makeAllOpaque_ },
    };
    QMenu* source = addMenu("&Source", "sourceMenu");
    toolBar_ = new QToolBar("Source", body());
    toolBar_->setObjectName("sourceToolBar");
    toolBar_->setIconSize(QSize(kToolbarImageSize, kToolbarImageSize));
    int imageIndex = 0;
    for (const Command& c : commands) {
        QAction* action = makePendingCommand(this, c.name, c.label, c.prompt, c.tip);
        action->setIcon(pictureIcon(c.picture));
        action->setIconVisibleInMenu(false);
        action->setProperty("toolbarImageIndex", imageIndex++);
        source->addAction(action);
        toolBar_->addAction(action);
        *c.member = action;
    }
    body()->addToolBar(Qt::TopToolBarArea, toolBar_);
    appendMenu(app.makeHelpMenu(this));
    updateActions();
}

void CChildFrame::updateActions()
{
    MergeWorkspace& workspace = frame_.workspace();
    const int number = sourceNumber();
    const VIrorozIzi* doc
        = number >= 1 && number <= workspace.sourceCount ? workspace.source(number) : nullptr;
    reload_->setEnabled(doc != nullptr);
    const bool hasImage = doc && !doc->image.empty();
    for (QAction* action : { grayScale_, brightnessContrast_, trapezoid_, skew_, cylindricalProjection_,
             gridLines_, pincushion_, makeAllTransparent_, makeAllOpaque_ })
        action->setEnabled(hasImage);
}

void CChildFrame::activated()
{
    updateActions();
}

void CChildFrame::closeEvent(QCloseEvent* event)
{
    ChildWindow::closeEvent(event);
    if (!event->isAccepted() || frame_.closing() || !closingHandler_)
        return;
    const std::function<void()> handler = std::move(closingHandler_);
    closingHandler_ = nullptr;
    handler();
}

} // namespace tessary
