#pragma once

namespace tessary {

class CxFile;
class CxImage;

// Reads the chunks of a PNG stream before its first IDAT and keeps in `image` the orientation
// of its eXIf chunk and the colour profile of its iCCP chunk (inflated, at most
// kMaxIccProfileBytes; a larger one is too large, a stream that does not inflate is broken).
// Chunks are skipped by their length, never buffered whole, so a chunk claiming any size costs
// nothing. Leaves the stream where it found it.
void readPngMetadata(CxFile& file, CxImage& image);

} // namespace tessary
