#include "output/save_target.h"

#include "app/platform.h"
#include "app/settings.h"
#include "app/workspace.h"
#include "image/atomic_file.h"
#include "image/file_formats.h"
#include "output/extract_target_image.h"
#include "output/metadata_source.h"
#include "output/replace_question.h"
#include "output/tile_geometry.h"
#include "output/write_image_file.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <vector>

namespace tessary {

namespace {
std::string lowerCase(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

bool writeImage(const PackedDib* image, Platform& platform, const std::string& path, const ImageMetadata& metadata)
{
    if (!image)
        return false; // the extraction has said why
    if (writeImageFile(*image, path, metadata))
        return true;
    // A folder or a device at the name is said as such; other failures have no more to say.
    const std::string refusal = saveRefusal(path);
    platform.messageBox(refusal.empty() ? std::string(kFailedFileSave) : refusal + "\n\n" + kFailedFileSave,
        MessageIcon::Plain, MessageButtons::Ok);
    return false;
}

std::string fileNameOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string sizeText(int32_t width, int32_t height)
{
    return std::to_string(width) + " \u00D7 " + std::to_string(height);
}

bool saveTiles(MergeWorkspace& workspace, Platform& platform, const SaveName& name, const std::string& chosenPath,
    const ImageMetadata& metadata)
{
    CDestdoc& target = workspace.targetDoc;
    if (!target.targetImage)
        return false;
    const std::string path = name.path();
    const std::string base = path.substr(0, path.size() - name.extension.size() - 1);
    const int32_t W = target.targetImage->width(), H = target.targetImage->height();
    const int32_t across = std::clamp(target.tilesAcross, 1, 10), down = std::clamp(target.tilesDown, 1, 10);
    std::vector<std::string> files;
    for (int32_t r = 0; r < down; ++r)
        for (int32_t c = 0; c < across; ++c)
            files.push_back(tileFileName(base, c, r, name.extension));
    if (!mayReplaceFiles(platform, files, chosenPath))
        return false;
    size_t written = 0;
    for (int32_t r = 0; r < down; ++r)
        for (int32_t c = 0; c < across; ++c) {
            // A tile that fails (memory, file) has been reported; the next one is still tried.
            const auto tile
                = extractTargetRect(*target.targetImage, tileRect(c, r, W, H, across, down), platform);
            if (writeImage(tile.get(), platform, files[size_t(r * across + c)], metadata))
                ++written;
        }
    target.zoneSelected = 0;
    // A save that worked says so where it does not stand in the way.
    if (written > 0)
        platform.showStatusMessage("Saved " + std::to_string(written) + " of " + std::to_string(files.size())
            + " tiles, " + fileNameOf(files.front()) + " to " + fileNameOf(files.back()) + " (" + sizeText(W, H)
            + " in all)");
    return true;
}

// Offers the sources' metadata in the chooser's request, preselected as the setting says.
MetadataSources offerMetadata(const MergeWorkspace& workspace, Platform& platform, FileDialogRequest& request)
{
    const int32_t keep = kKeepMetadataRange.clamp(
        platform.getSettingInt(settings::kSection, settings::kKeepMetadata, kKeepMetadataRange.start));
    MetadataSources sources = metadataSources(workspace, keep == 1);
    if (sources.numbers.size() > 1) {
        request.choiceLabel = kKeepMetadataLabel;
        request.choices = sources.labels;
        request.choiceIndex = sources.preselected;
    }
    return sources;
}

// The metadata of the source chosen in the chooser; whether one was chosen is remembered.
ImageMetadata chosenMetadata(const MergeWorkspace& workspace, Platform& platform, const MetadataSources& sources,
    const FileDialogRequest& request, const FileDialogResult& chosen)
{
    if (request.choices.empty())
        return {};
    const int entry = chosen.choiceIndex < 0 ? request.choiceIndex : chosen.choiceIndex;
    const int number = entry >= 0 && size_t(entry) < sources.numbers.size() ? sources.numbers[size_t(entry)] : 0;
    platform.setSettingInt(settings::kSection, settings::kKeepMetadata, number != 0 ? 1 : 0);
    if (number == 0)
        return {};
    return ImageMetadata::readFrom(workspace.documents[size_t(number - 1)]->filePath);
}
}

std::string saveDialogTitle(const MergeWorkspace& workspace)
{
    const CDestdoc& target = workspace.targetDoc;
    if (target.savingTiles == 1)
        return kSaveTilesTitle;
    if (target.zoneSelected == 1) {
        const ImageRect zone = zoneImageRect(workspace.targetView.zoneAnchor, workspace.targetView.zoneCorner,
            target.viewPercentX, target.viewPercentY);
        return kSaveZoneTitle + std::to_string(zone.width) + " X " + std::to_string(zone.height);
    }
    return kSaveTargetTitle;
}

std::string filterExtension(int filterIndex)
{
    if (filterIndex < 1 || filterIndex > int(std::size(kFileFormats)))
        filterIndex = 1;
    return kFileFormats[size_t(filterIndex - 1)].ending;
}

SaveName resolveSaveName(const std::string& chosenPath, int filterIndex)
{
    SaveName name;
    const size_t slash = chosenPath.find_last_of('/');
    name.folder = slash == std::string::npos ? std::string() : chosenPath.substr(0, slash + 1);
    name.fileName = slash == std::string::npos ? chosenPath : chosenPath.substr(slash + 1);
    const size_t dot = name.fileName.find_last_of('.');
    name.extension = dot == std::string::npos ? std::string() : lowerCase(name.fileName.substr(dot + 1));
    if (!formatFromEnding(name.extension)) {
        name.extension = filterExtension(filterIndex);
        name.fileName += "." + name.extension;
    }
    return name;
}

bool saveTargetAs(MergeWorkspace& workspace, Platform& platform)
{
    FileDialogRequest request;
    request.title = saveDialogTitle(workspace);
    request.filter = kSaveFilter;
    request.initialFolder = platform.getSettingText(settings::kSection, settings::kLastSaveDirectory, "");
    request.filterIndex = platform.getSettingInt(settings::kSection, settings::kLastSaveExtension, 0);
    const MetadataSources sources = offerMetadata(workspace, platform, request);
    const std::optional<FileDialogResult> chosen = platform.chooseSaveFile(request);
    if (!chosen)
        return false;
    const SaveName name = resolveSaveName(chosen->path, chosen->filterIndex);
    platform.setSettingInt(settings::kSection, settings::kLastSaveExtension, chosen->filterIndex);
    platform.setSettingText(settings::kSection, settings::kLastSaveDirectory, name.folder);
    const ImageMetadata metadata = chosenMetadata(workspace, platform, sources, request, *chosen);

    if (workspace.targetDoc.savingTiles == 1)
        return saveTiles(workspace, platform, name, chosen->path, metadata);
    if (!mayReplaceFiles(platform, { name.path() }, chosen->path))
        return false;
    writeTargetFile(workspace, platform, name.path(), metadata);
    return true;
}

bool saveTilesAs(MergeWorkspace& workspace, Platform& platform, int32_t across, int32_t down)
{
    CDestdoc& target = workspace.targetDoc;
    target.tilesAcross = across;
    target.tilesDown = down;
    target.savingTiles = 1;
    const bool saved = saveTargetAs(workspace, platform);
    target.savingTiles = 0;
    return saved;
}

bool saveZoneToFile(MergeWorkspace& workspace, Platform& platform)
{
    workspace.targetDoc.zoneSelected = 1;
    const bool saved = saveTargetAs(workspace, platform);
    workspace.targetView.zoneAnchor = ViewPoint {};
    workspace.targetView.zoneCorner = ViewPoint {};
    workspace.targetDoc.zoneSelected = 0;
    return saved;
}

bool writeTargetFile(
    const MergeWorkspace& workspace, Platform& platform, const std::string& path, const ImageMetadata& metadata)
{
    const std::unique_ptr<PackedDib> image = extractTargetImage(workspace, platform);
    if (!writeImage(image.get(), platform, path, metadata))
        return false;
    platform.showStatusMessage("Saved " + fileNameOf(path) + " (" + sizeText(image->width(), image->height()) + ")");
    return true;
}

} // namespace tessary
