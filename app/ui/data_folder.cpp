#include "app/ui/data_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tessary {

QString dataFolder()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    const QString installed = QDir::cleanPath(programFolder + "/../share/tessary");
    return QFileInfo(installed).isDir() ? installed : programFolder;
}

} // namespace tessary
