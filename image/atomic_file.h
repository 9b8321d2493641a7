#pragma once
#include "image/cx_file.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace tessary {

// Writes a file so that a failure never destroys what was there: `write` fills a temporary file
// with a short name in the same folder, which replaces the file only when `write` returned true
// and every byte reached the disk. On failure the temporary file is removed and the file is
// untouched.
//
// - A symbolic link is followed: the file it names is written and the link stays.
// - Only a regular file is replaced: a folder, FIFO, device or socket at the path (or where its
//   links lead) is refused (false) and nothing is made; saveRefusal says why.
// - An existing file we may not write is refused (false), whatever its folder allows.
// - A writable file in a folder where no temporary file can be made is rewritten in place.
// - A new file gets 0666 less the umask; a replaced file keeps its permissions and, where the
//   process may set it, its owner.
bool writeFileAtomically(const std::string& path, const std::function<bool(CxFile&)>& write);

// Empty when a save may go to `path`: nothing stands there, or a regular file (links followed).
// Otherwise what stands there, as a message naming the path (and where its links lead).
std::string saveRefusal(const std::string& path);

struct Replacement;

// A file of a size known beforehand, written through memory, with the same rules as
// writeFileAtomically: the bytes live in a temporary file beside the file they replace (links
// followed, permissions and owner kept, a read-only or not regular file refused), mapped into
// memory, and only `commit` puts it in place once every byte reached the disk. A save that is
// not committed removes its temporary file. Writing through memory spares the copy a write makes and the
// memory a separate image would hold; the price is that a disk that fills up meanwhile is
// reported by the system as a bus error at the page written, so `begin` asks for room for the
// whole file first, and a caller that writes the bytes must be ready for that signal.
class MappedFileSave {
public:
    MappedFileSave();
    ~MappedFileSave();
    MappedFileSave(const MappedFileSave&) = delete;
    MappedFileSave& operator=(const MappedFileSave&) = delete;

    // Makes the temporary file beside `path`, `size` bytes that read as zeros, and maps it.
    // False when any step fails or the disk has not room for it: then nothing is left behind,
    // and the caller saves the ordinary way.
    bool begin(const std::string& path, size_t size);
    uint8_t* bytes() const { return bytes_; }
    size_t size() const { return size_; }
    // The temporary file's name while it exists.
    const char* temporaryName() const;
    // Writes the bytes to disk and puts the file in place; false on failure, and then the
    // temporary file is removed and the old file untouched. The bytes are gone either way.
    bool commit();

private:
    // Free room kept on the disk beyond the file itself.
    static constexpr uint64_t kSpare = uint64_t(16) << 20;
    void unmap();
    std::unique_ptr<Replacement> replacement_;
    uint8_t* bytes_ = nullptr;
    size_t size_ = 0;
};

} // namespace tessary
