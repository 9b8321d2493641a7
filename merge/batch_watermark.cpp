#include "merge/batch_watermark.h"

#include "align/placement_commands.h"
#include "app/open_image.h"
#include "app/settings.h"
#include "app/workspace.h"
#include "sources/load_image_file.h"
#include "sources/source_table.h"

namespace tessary {

bool changeWatermark(MergeWorkspace& workspace, Platform& platform)
{
    VIrorozIzi* mark = workspace.sourceCount >= 1 ? workspace.source(1) : nullptr;
    if (!mark)
        return false;
    workspace.hideLoadButtons = 1;
    const std::optional<FileDialogResult> chosen
        = platform.chooseOpenFile(openImageRequest(platform, openImageTitle(workspace)));
    workspace.hideLoadButtons = 0;
    if (!chosen || chosen->path.empty())
        return false;

    VIrorozIzi loaded;
    loaded.loadOptions = workspace.loadOptions;
    if (!loadImageFile(loaded, chosen->path, platform))
        return false;
    mark->image = std::move(loaded.image);
    mark->imageWidth = loaded.imageWidth;
    mark->imageHeight = loaded.imageHeight;
    mark->sourceKind = kSourceImageFile;
    mark->loadOptions = loaded.loadOptions;
    mark->filePath = chosen->path;
    mark->title = sourceTitleForPath(chosen->path);
    mark->textBuffer.clear();
    mark->processedOk = true;
    transformAndRebuild(workspace, platform, 1);
    workspace.notify([](WorkspaceObserver& o) { o.sourceImageChanged(1); });
    return true;
}

} // namespace tessary
