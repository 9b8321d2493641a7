#pragma once
#include <string>
#include <vector>

namespace tessary {

class MergeWorkspace;

// The sources whose metadata a saved target can keep, as Save As offers them: "none" first,
// then every image-file source ("2: photo.jpg"). Text, pasted and target-copy sources have no
// file and so no metadata.
struct MetadataSources {
    std::vector<int> numbers; // the source number of each entry; 0 for "none"
    std::vector<std::string> labels;
    // The entry selected at first: "none" unless `keep`, else the largest image-file source
    // outside the top layers (source 1 is often a watermark laid over the picture), the
    // lowest-numbered of equals; "none" when every image-file source is in the top layers.
    int preselected = 0;
};
MetadataSources metadataSources(const MergeWorkspace& workspace, bool keep);

} // namespace tessary
