// libFuzzer target for the layout and arrangement reader: arbitrary bytes give a layout or a
// refusal that names the file, and never an exception, a crash, a hang or a sanitizer report.
// A layout that reads must read the same again from what the writer makes of it, the road
// every Save Arrangement and Open Arrangement takes.
#include "app/arrangement.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace {

using namespace tessary;
namespace fs = std::filesystem;

// The reader resolves source files against the layout's folder and the writer writes them
// relative to it where it can: the same file may come back under another spelling.
MergeLayout withPlainFileNames(MergeLayout layout)
{
    for (LayoutSource& s : layout.sources)
        if (!s.file.empty()) {
            std::error_code ec;
            s.file = fs::absolute(s.file, ec).lexically_normal().string();
        }
    return layout;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // No file is looked at: whether the sources exist is not the reader's business here.
    const std::string path = "/nonexistent/fuzz/layout.tessary.json";
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string error;
    const std::optional<MergeLayout> layout = parseMergeLayout(bytes, path, error, SourceFiles::MayBeMissing);
    if (!layout) {
        // A refusal names the file and says why.
        if (error.rfind(path + ": ", 0) != 0 || error.size() == path.size() + 2)
            __builtin_trap();
        return 0;
    }
    const std::optional<std::string> written = mergeLayoutText(path, *layout, error);
    if (!written)
        __builtin_trap(); // everything read is valid UTF-8 and small
    const std::optional<MergeLayout> again
        = parseMergeLayout(*written, path, error, SourceFiles::MayBeMissing);
    if (!again || !(withPlainFileNames(*again) == withPlainFileNames(*layout)))
        __builtin_trap();
    return 0;
}
