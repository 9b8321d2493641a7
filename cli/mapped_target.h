#pragma once
#include "image/atomic_file.h"
#include "image/packed_dib.h"
#include "merge/unmasked_image.h"

#include <memory>
#include <string>

namespace tessary::cli {

// A merge saved as a BMP file is generated straight into that file: made beside OUT at its
// full size and mapped into memory, the target image's block is the file after its 14-byte
// header, so the target needs no memory of its own and no copy to be written. A disk that
// fills up while the pages are written is reported by the system as a bus error; from the
// mapping until the save ends, that signal says so on stderr, removes the temporary file and
// ends the process with status 1, leaving OUT as it was.
class MappedTarget {
public:
    explicit MappedTarget(std::string outPath);
    ~MappedTarget();
    MappedTarget(const MappedTarget&) = delete;
    MappedTarget& operator=(const MappedTarget&) = delete;

    // For generateTarget: null unless OUT ends in bmp; the bytes it gives are in the file, or
    // null when the file cannot be made and mapped (the target is then allocated as usual).
    BlockProvider provider();
    // True when `image` lives in the mapped file.
    bool holds(const PackedDib& image) const;
    // Fills in the file header and puts the file in place of OUT, giving up the image first
    // (its bytes live in the file). False on failure, and then OUT is as it was.
    bool save(std::unique_ptr<PackedDib>& image);

private:
    std::string outPath_;
    MappedFileSave file_;
};

} // namespace tessary::cli
