#pragma once

namespace tessary {

class MergeWorkspace;
class Platform;

// "Change watermark" of the batch merge: the user chooses an image file in the chooser titled
// "Select watermarking image file". The file is loaded into a document of its own first; only
// when it loaded does it take source 1's place (image, file path, title; the placement stays),
// so a cancelled chooser or a file that will not load (its messages shown) leaves source 1 as
// it was. Then source 1 is transformed again, the preview rebuilt, the target marked stale and
// observers hear sourceImageChanged(1). True when source 1 was replaced.
bool changeWatermark(MergeWorkspace& workspace, Platform& platform);

} // namespace tessary
