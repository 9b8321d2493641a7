#include "app/recent_files.h"

#include "app/platform.h"
#include "app/settings.h"

#include <algorithm>

namespace tessary {

namespace {
std::string valueName(int index)
{
    return "File" + std::to_string(index + 1);
}
}

void RecentFileList::read(Platform& platform)
{
    entries_.clear();
    for (int i = 0; i < kCapacity; ++i) {
        std::string path = platform.getSettingText(settings::kRecentFileSection, valueName(i), "");
        if (!path.empty() && std::find(entries_.begin(), entries_.end(), path) == entries_.end())
            entries_.push_back(std::move(path));
    }
}

void RecentFileList::write(Platform& platform) const
{
    for (int i = 0; i < kCapacity; ++i)
        platform.setSettingText(
            settings::kRecentFileSection, valueName(i), i < size() ? entries_[size_t(i)] : std::string());
}

void RecentFileList::add(const std::string& path)
{
    if (path.empty())
        return;
    entries_.erase(std::remove(entries_.begin(), entries_.end(), path), entries_.end());
    entries_.insert(entries_.begin(), path);
    if (size() > kCapacity)
        entries_.resize(size_t(kCapacity));
}

void RecentFileList::remove(int index)
{
    if (index < 0 || index >= size())
        return;
    entries_.erase(entries_.begin() + index);
}

std::string recentFileMenuLabel(int index, const std::string& path)
{
    std::string escaped;
    for (char c : path) {
        escaped += c;
        if (c == '&')
            escaped += '&';
    }
    // Entries 1 to 9 take their digit as mnemonic, entry 10 its zero; later ones have none.
    const int number = index + 1;
    std::string prefix;
    if (number < 10)
        prefix = "&" + std::to_string(number);
    else if (number == 10)
        prefix = "1&0";
    else
        prefix = std::to_string(number);
    return prefix + " " + escaped;
}

std::string recentFilePrompt(int index)
{
    return "Open this image #" + std::to_string(index + 1);
}

} // namespace tessary
