#include "cli/cli_files.h"

#include "app/arrangement.h"
#include "cli/terminal_platform.h"
#include "output/write_image_file.h"
#include "sources/copy_to_24bit.h"

#include <cstdio>

namespace tessary::cli {

bool readable(const std::string& path)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        std::fprintf(stderr, "tessary-cli: cannot open \"%s\"\n", path.c_str());
        return false;
    }
    std::fclose(f);
    return true;
}

bool savePicture(const MaskedDib& image, const std::string& path, TerminalPlatform& platform)
{
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

} // namespace tessary::cli
