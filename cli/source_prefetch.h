#pragma once
#include "app/platform.h"
#include "sources/source_doc.h"

#include <exception>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace tessary::cli {

// A message a load showed, kept to be shown later.
struct KeptMessage {
    std::string text;
    MessageIcon icon;
    MessageButtons buttons;
    bool passing = false; // a status-bar note (an ignored colour profile), not a message box
};

// Loads the next source file on a helper thread while the caller transforms the previous one,
// so that decoding and transforming overlap. The load is the program's own (`loadImageFile`),
// made against a platform that keeps its messages; `take` shows them through the caller's
// platform on the caller's thread, in order, as a load made there would have. Without a thread
// the load is made on the caller's thread.
class SourcePrefetch {
public:
    SourcePrefetch() = default;
    ~SourcePrefetch();
    SourcePrefetch(const SourcePrefetch&) = delete;
    SourcePrefetch& operator=(const SourcePrefetch&) = delete;

    // Starts loading `path` as the source in place `slot` (0-based), read as `options` say.
    void start(const std::string& path, int slot, LoadOptions options);
    // Waits for the load, shows its messages and hands the document over: with its image when
    // the load succeeded, none otherwise. What the load threw is thrown again here.
    std::unique_ptr<VIrorozIzi> take(Platform& platform);

private:
    void load();
    std::thread thread_;
    std::string path_;
    std::unique_ptr<VIrorozIzi> doc_;
    std::vector<KeptMessage> messages_;
    bool ok_ = false;
    std::exception_ptr failure_;
};

} // namespace tessary::cli
