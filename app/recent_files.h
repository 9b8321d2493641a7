#pragma once
#include <string>
#include <vector>

namespace tessary {

class Platform;

// The recent-file list: up to 16 paths, the most recent first, kept in the settings section
// "Recent File List" as "File1" ... "File16".
class RecentFileList {
public:
    static constexpr int kCapacity = 16;

    // Reads the stored entries; empty values are skipped.
    void read(Platform& platform);
    // Writes every entry and clears the values of the places left empty.
    void write(Platform& platform) const;

    // Puts `path` first; an entry with the same path moves up instead of appearing twice, and
    // the oldest entry falls off a full list.
    void add(const std::string& path);
    // Removes entry `index` (0-based); an index out of range changes nothing.
    void remove(int index);

    const std::vector<std::string>& entries() const { return entries_; }
    int size() const { return int(entries_.size()); }

private:
    std::vector<std::string> entries_;
};

// The menu label of entry `index` (0-based): its number with a mnemonic, then the path with
// every '&' doubled so it is shown rather than taken as a mnemonic.
std::string recentFileMenuLabel(int index, const std::string& path);
// The status-bar prompt of entry `index` (0-based): "Open this image #1" ...
std::string recentFilePrompt(int index);

} // namespace tessary
