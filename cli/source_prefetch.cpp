#include "cli/source_prefetch.h"

#include "app/silent_platform.h"
#include "sources/load_image_file.h"

#include <exception>
#include <new>
#include <system_error>
#include <utility>

namespace tessary::cli {

namespace {
// Answers as the terminal does (No to questions, Ok to messages) and keeps what was shown.
class KeepingPlatform : public SilentPlatform {
public:
    explicit KeepingPlatform(std::vector<KeptMessage>& kept)
        : kept_(kept)
    {
    }
    MessageAnswer messageBox(const std::string& text, MessageIcon icon, MessageButtons buttons) override
    {
        kept_.push_back(KeptMessage { text, icon, buttons, false });
        return SilentPlatform::messageBox(text, icon, buttons);
    }
    void showStatusMessage(const std::string& text) override
    {
        kept_.push_back(KeptMessage { text, MessageIcon::Plain, MessageButtons::Ok, true });
    }

private:
    std::vector<KeptMessage>& kept_;
};
}

SourcePrefetch::~SourcePrefetch()
{
    if (thread_.joinable())
        thread_.join();
}

void SourcePrefetch::load()
{
    ok_ = false;
    messages_.clear();
    try {
        KeepingPlatform platform(messages_);
        ok_ = loadImageFile(*doc_, path_, platform);
    } catch (const std::bad_alloc&) {
        ok_ = false;
    } catch (...) { // reported on the caller's thread: here it would end the process
        failure_ = std::current_exception();
    }
}

void SourcePrefetch::start(const std::string& path, int slot, LoadOptions options)
{
    if (thread_.joinable())
        thread_.join();
    path_ = path;
    doc_ = std::make_unique<VIrorozIzi>();
    doc_->slotIndex = slot;
    doc_->loadOptions = options;
    try {
        thread_ = std::thread([this] { load(); });
    } catch (const std::system_error&) {
        load();
    }
}

std::unique_ptr<VIrorozIzi> SourcePrefetch::take(Platform& platform)
{
    if (thread_.joinable())
        thread_.join();
    if (failure_)
        std::rethrow_exception(std::exchange(failure_, nullptr));
    for (const KeptMessage& m : messages_) {
        if (m.passing)
            platform.showStatusMessage(m.text);
        else
            platform.messageBox(m.text, m.icon, m.buttons);
    }
    messages_.clear();
    if (!ok_)
        return nullptr;
    return std::move(doc_);
}

} // namespace tessary::cli
