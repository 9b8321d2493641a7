#include "output/metadata_source.h"

#include "app/workspace.h"

#include <cstdint>

namespace tessary {

MetadataSources metadataSources(const MergeWorkspace& workspace, bool keep)
{
    MetadataSources sources;
    sources.numbers.push_back(0);
    sources.labels.push_back("none");
    int64_t largest = -1;
    for (int number = 1; number <= workspace.sourceCount; ++number) {
        const VIrorozIzi* doc = workspace.documents[size_t(number - 1)].get();
        if (!doc || doc->sourceKind != kSourceImageFile || doc->filePath.empty())
            continue;
        sources.numbers.push_back(number);
        sources.labels.push_back(std::to_string(number) + ": " + doc->title);
        const int64_t area = int64_t(doc->imageWidth) * int64_t(doc->imageHeight);
        if (keep && workspace.alignDoc.placement[size_t(number - 1)].topLevel < 0 && area > largest) {
            largest = area;
            sources.preselected = int(sources.numbers.size()) - 1;
        }
    }
    return sources;
}

} // namespace tessary
