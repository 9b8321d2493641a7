#include "app/ui/app_icon.h"

#include <QDir>

namespace tessary {

QIcon applicationIcon()
{
    // The sizes are those of the hicolor theme folders the generator wrote, "16x16" and up.
    static const QIcon icon = [] {
        QIcon result;
        const QDir theme(":/icons/hicolor");
        for (const QString& size : theme.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            result.addFile(theme.filePath(size + "/apps/tessary.png"));
        return result;
    }();
    return icon;
}

} // namespace tessary
