#include "app/ui/main_frame.h"
#include "app/ui/qt_platform.h"
#include "app/workspace.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName("Vuzezur Adadarize");
    QCoreApplication::setApplicationName("Tessary");

    tessary::QtPlatform platform;
    tessary::MergeWorkspace workspace;
    workspace.readStartupSettings(platform);

    tessary::MainFrame frame(workspace, platform);
    frame.show();
    const int code = application.exec();
    workspace.writeExitSettings(platform);
    return code;
}
