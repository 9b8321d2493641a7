#include "align/paste_source.h"

#include "app/platform.h"
#include "app/workspace.h"
#include "sources/dib_block.h"
#include "sources/new_image_source.h"
#include "sources/source_doc.h"

namespace tessary {

bool pasteSource(MergeWorkspace& workspace, Platform& platform, const SourceOpening& opening)
{
    if (!roomForNewSource(workspace, platform))
        return false;
    const std::optional<std::vector<uint8_t>> block = platform.clipboardImage();
    const std::unique_ptr<PackedDib> image = block ? dibFromBlock(*block) : nullptr;
    if (!image)
        return false;
    return makeImageSource(workspace, platform, opening, *image, kSourcePaste);
}

} // namespace tessary
