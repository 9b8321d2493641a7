#include "app/ui/command_line.h"

#include <QFileInfo>
#include <QUrl>

namespace tessary {

std::vector<std::string> commandLineFiles(const QStringList& arguments)
{
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument.isEmpty() || (!optionsEnded && argument.startsWith('-')))
            continue;
        const QString path
            = argument.startsWith("file:", Qt::CaseInsensitive) ? QUrl(argument).toLocalFile() : argument;
        if (!path.isEmpty())
            files.push_back(QFileInfo(path).absoluteFilePath().toStdString());
    }
    return files;
}

} // namespace tessary
