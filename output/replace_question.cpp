#include "output/replace_question.h"

#include "app/platform.h"

#include <sys/stat.h>

namespace tessary {

namespace {
bool exists(const std::string& path)
{
    struct stat st { };
    return lstat(path.c_str(), &st) == 0; // a link counts, even one to nothing yet
}

std::string fileNameOf(const std::string& path)
{
    return path.substr(path.find_last_of('/') + 1);
}
}

bool mayReplaceFiles(Platform& platform, const std::vector<std::string>& paths, const std::string& askedPath)
{
    std::vector<std::string> taken;
    for (const std::string& path : paths)
        if (path != askedPath && exists(path))
            taken.push_back(path);
    if (taken.empty())
        return true;
    const std::string question = taken.size() == 1
        ? fileNameOf(taken[0]) + kAlreadyExistsQuestion
        : std::to_string(taken.size()) + " of the " + std::to_string(paths.size()) + kTilesExistQuestion;
    return platform.messageBox(question, MessageIcon::Question, MessageButtons::YesNo) == MessageAnswer::Yes;
}

} // namespace tessary
