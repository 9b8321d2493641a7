#include "app/ui/qt_platform.h"
#include "app/ui/tessary_app.h"
#include "app/workspace.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName("Vuzezur Adadarize");
    QCoreApplication::setApplicationName("Tessary");

    tessary::QtPlatform platform;
    tessary::MergeWorkspace workspace;
    // Source documents are made by the source-document layer, which is not part of the program
    // yet: until it is, a chosen or dropped file creates no source and nothing is shown.
    auto openSourceFile = [](const std::string&) { return false; };
    tessary::CTessaryApp app(platform, workspace, openSourceFile);
    app.start(application.arguments());
    return application.exec();
}
