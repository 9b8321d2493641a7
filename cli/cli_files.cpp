#include "cli/cli_files.h"

#include "app/arrangement.h"
#include "cli/terminal_platform.h"
#include "image/atomic_file.h"
#include "output/write_image_file.h"
#include "sources/copy_to_24bit.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessary::cli {

bool readable(const std::string& path)
{
    // Not opened here: opening a FIFO would wait for a writer, and a pipe is read only once.
    struct stat st { };
    const char* why = nullptr;
    if (stat(path.c_str(), &st) != 0)
        why = std::strerror(errno);
    else if (S_ISDIR(st.st_mode))
        why = "it is a folder";
    else if (faccessat(AT_FDCWD, path.c_str(), R_OK, AT_EACCESS) != 0)
        why = std::strerror(errno);
    if (!why)
        return true;
    std::fprintf(stderr, "tessary-cli: cannot open \"%s\": %s\n", path.c_str(), why);
    return false;
}

bool outputAllowed(const std::string& path, TerminalPlatform& platform)
{
    const std::string refusal = saveRefusal(path);
    if (refusal.empty())
        return true;
    std::fprintf(stderr, "tessary-cli: %s\n", refusal.c_str());
    platform.messageBox(kFailedFileSave, MessageIcon::Plain, MessageButtons::Ok);
    return false;
}

bool savePicture(const MaskedDib& image, const std::string& path, TerminalPlatform& platform)
{
    if (!outputAllowed(path, platform))
        return false;
    // Saves write the 24-bit picture, as the target is.
    MaskedDib picture;
    if (copyTo24Bit(image, picture, &platform))
        return false;
    if (!writeImageFile(*picture.dib, path)) {
        platform.messageBox(kFailedFileSave, MessageIcon::Plain, MessageButtons::Ok);
        return false;
    }
    return true;
}

namespace {
// Text sources are drawn with the desktop's fonts, which the command line does not have.
bool refuseTextSources(const MergeLayout& layout, const char* command)
{
    for (size_t i = 0; i < layout.sources.size(); ++i)
        if (layout.sources[i].text) {
            std::fprintf(stderr,
                "tessary-cli %s: sources[%zu].text: text sources are drawn with the desktop's fonts; open "
                "this arrangement in tessary to merge it\n",
                command, i);
            return true;
        }
    return false;
}
}

std::optional<MergeLayout> readCommandLayout(const std::string& path, const char* command)
{
    if (!readable(path))
        return std::nullopt;
    std::string error;
    std::optional<MergeLayout> layout = readMergeLayout(path, error);
    if (!layout) {
        std::fprintf(stderr, "tessary-cli %s: %s\n", command, error.c_str());
        return std::nullopt;
    }
    if (refuseTextSources(*layout, command))
        return std::nullopt;
    return layout;
}

} // namespace tessary::cli
