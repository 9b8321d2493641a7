#include "merge/batch_files.h"

#include "image/file_formats.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>

namespace tessary {

namespace fs = std::filesystem;

std::string lowerCased(const std::string& text)
{
    std::string lower = text;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return lower;
}

bool hasBatchImageEnding(const std::string& name)
{
    return formatFromFileName(name).has_value();
}

std::string joinPath(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    if (folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

std::string folderOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string defaultBatchTargetDirectory(const std::string& source2Path)
{
    return joinPath(folderOf(source2Path), "output");
}

bool listBatchImages(const std::string& folder, std::vector<std::string>& names)
{
    names.clear();
    std::error_code error;
    fs::directory_iterator it(folder, error);
    if (error)
        return false;
    for (const fs::directory_iterator end; it != end; it.increment(error)) {
        if (error)
            return false;
        const std::string name = it->path().filename().string();
        std::error_code typeError;
        // A directory named like an image is not an image; a link to a file is.
        if (hasBatchImageEnding(name) && it->is_regular_file(typeError))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return true;
}

std::vector<BatchFile> planBatchOutputs(const std::vector<std::string>& names)
{
    std::set<std::string> taken;
    for (const std::string& name : names)
        if (lowerCased(name) == name)
            taken.insert(name);
    std::vector<BatchFile> plan;
    plan.reserve(names.size());
    for (const std::string& name : names) {
        const std::string lower = lowerCased(name);
        if (lower == name) {
            plan.push_back({ name, name });
        } else if (taken.insert(lower).second) {
            plan.push_back({ name, lower });
        } else {
            // A name with an upper-case letter cannot fall together with any lower-case one.
            plan.push_back({ name, name });
        }
    }
    return plan;
}

std::string prepareTargetFolder(const std::string& target, const std::string& input)
{
    std::error_code error;
    const fs::file_status status = fs::status(target, error);
    if (fs::exists(status)) {
        if (!fs::is_directory(status))
            return kTargetNotADirectory;
        std::error_code sameError;
        if (fs::equivalent(target, input, sameError))
            return kTargetIsInputFolder;
        return {};
    }
    error.clear();
    fs::create_directories(target, error);
    if (error || !fs::is_directory(target, error))
        return kCannotCreateBatchDirectory;
    return {};
}

bool validNewDirectoryName(const std::string& name)
{
    if (name.empty() || name.size() > size_t(kMaxNewDirectoryName) || name == "." || name == "..")
        return false;
    return name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

bool createNamedFolder(const std::string& parent, const std::string& name, std::string& created)
{
    if (!validNewDirectoryName(name))
        return false;
    created = joinPath(parent, name);
    std::error_code error;
    fs::create_directory(created, error);
    return !error && fs::is_directory(created, error);
}

} // namespace tessary
