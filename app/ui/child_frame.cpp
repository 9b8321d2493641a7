#include "app/ui/child_frame.h"

#include "app/ui/app_actions.h"
#include "app/ui/command.h"
#include "app/ui/main_frame.h"
#include "app/ui/toolbar_pictures.h"

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
    };
    const Command commands[] = {
        { "reload", "Reload Source",
            "Remove any changes and reload this source - or - if text then this allows edit of that text",
            "Reload", Picture::Reload },
        { "grayScale", "Black and White", "Convert this source to gray scale", "Gray scale",
            Picture::GrayScale },
        { "brightnessContrast", "Brightness and Contrast...", "Adjust the brightness and contrast",
            "Brightness and contrast", Picture::BrightnessContrast },
        { "cylindricalProjection", "Cylindrical Projection...", "Set cylindrical projection mode",
            "Cylindrical projection", Picture::CylindricalProjection },
        { "trapezoid", "Trapezoid...", "Distort this source to a trapezoid shape", "Trapezoid",
            Picture::Trapezoid },
        { "skew", "Skew", "Skew this source image", "Skew", Picture::Skew },
        { "gridLines", "Overlay Grid...", "Overlay with grid lines of any distance or color.", "Grid lines",
            Picture::GridLines },
        { "pincushion", "Pincushion...", "Adjust out pincushion or barrel distortion",
            "Pincushion/barrel distortion", Picture::Pincushion },
        { "makeAllTransparent", "Make all transparent", "Make whole of source image transparent.",
            "Make All Transparent", Picture::MakeAllTransparent },
        { "makeAllOpaque", "Make all opaque", "Make whole of source image opaque.", "Make All Opaque",
            Picture::MakeAllOpaque },
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
    }
    body()->addToolBar(Qt::TopToolBarArea, toolBar_);
    appendMenu(app.makeHelpMenu(this));
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
