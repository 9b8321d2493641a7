#include "align/ui/align_child_wnd.h"
#include "app/ui/qt_platform.h"
#include "app/ui/tessary_app.h"
#include "app/workspace.h"
#include "sources/ui/source_windows.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName("Vuzezur Adadarize");
    QCoreApplication::setApplicationName("Tessary");

    tessary::QtPlatform platform;
    tessary::MergeWorkspace workspace;
    // The source kind: source documents and their windows, made when the file commands open a
    // file. It outlives the application object, whose frame holds the windows.
    tessary::SourceWindows sources(workspace, platform);
    tessary::CTessaryApp app(platform, workspace,
        [&sources](const std::string& path) { return sources.openSourceFile(path); },
        { [&sources] { return sources.createNewSource(); }, [&sources] { sources.closeAllSources(); },
            [&sources](const tessary::StoredText& text) { return sources.createTextSource(text); } });
    app.start(application.arguments());
    sources.attach(*app.mainFrame(), app.alignWindow());
    app.openCommandLineFiles();
    return application.exec();
}
