#pragma once

namespace tessary {

class CxFile;
class CxImage;

// Reads the marker segments of a JPEG stream up to its first scan and keeps in `image` the
// orientation of the first APP1 "Exif" segment and the colour profile of the APP2
// "ICC_PROFILE" segments, joined in their sequence order. Pieces that are missing, repeated or
// disagree on their count make the profile broken; more than kMaxIccProfileBytes of it make it
// too large (reading stops there, so memory stays bounded). Leaves the stream where it found
// it; a stream that is not JPEG, or is cut short, simply gives what was read before.
void readJpegMetadata(CxFile& file, CxImage& image);

} // namespace tessary
