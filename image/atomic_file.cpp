#include "image/atomic_file.h"

#include "image/temporary_files.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <new>
#include <sys/random.h>
#include <memory>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace tessary {

namespace {
// Links are followed this many times at most, as the kernel does for a path.
constexpr int kMaxLinks = 40;

std::string folderOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a save to `path` must change: a symbolic link is followed to what it names (which
// may not exist yet), so the link itself stays in place.
std::string followLinks(std::string path)
{
    for (int i = 0; i < kMaxLinks; ++i) {
        struct stat st { };
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        char link[PATH_MAX];
        const ssize_t n = readlink(path.c_str(), link, sizeof link - 1);
        if (n <= 0)
            return path;
        const std::string named(link, size_t(n));
        path = named[0] == '/' ? named : folderOf(path) + "/" + named;
    }
    return path;
}

// Removes the temporary file unless it was renamed over the target. Its name is known to the
// registry of temporary files from before the file is made until it is gone or in place.
struct TemporaryFile {
    std::string name;
    int slot = -1;
    bool kept = false;
    ~TemporaryFile()
    {
        if (!kept && !name.empty())
            unlink(name.c_str());
        releaseTemporaryFile(slot);
    }
};

// A new file with a short name in `folder`, so that a target name of up to 255 bytes still
// leaves room for it. Created with 0666 so the kernel applies the process umask itself.
int createTemporary(const std::string& folder, TemporaryFile& temporary)
{
    constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned char random[6] {};
        if (getrandom(random, sizeof random, 0) != ssize_t(sizeof random))
            break;
        std::string name = folder + "/.tessary-";
        for (unsigned char r : random)
            name += kLetters[r % (sizeof kLetters - 1)];
        const int slot = registerTemporaryFile(name.c_str());
        // Readable as well, so that the file can be mapped for writing.
        const int fd = open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            temporary.name = std::move(name);
            temporary.slot = slot;
            return fd;
        }
        const int error = errno;
        releaseTemporaryFile(slot);
        errno = error;
        if (error != EEXIST)
            return -1;
    }
    return -1;
}

// Runs `write` into the open descriptor and closes it; true when every byte reached the disk.
bool fillAndClose(int fd, const std::function<bool(CxFile&)>& write)
{
    std::FILE* stream = fdopen(fd, "wb");
    if (!stream) {
        close(fd);
        return false;
    }
    CxIOFile file;
    file.Attach(stream);
    bool ok = write(file);
    ok = file.Flush() && ok;
    ok = fsync(fileno(stream)) == 0 && ok;
    return file.Close() && ok;
}

const char* kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISFIFO(mode))
        return "a FIFO";
    if (S_ISCHR(mode))
        return "a character device";
    if (S_ISBLK(mode))
        return "a block device";
    if (S_ISSOCK(mode))
        return "a socket";
    return "something";
}
}

// A save in progress: the file it replaces (links followed) and the temporary file beside it.
struct Replacement {
    std::string target;
    struct stat existing { };
    bool exists = false;
    TemporaryFile temporary;
    int fd = -1;
    int error = 0; // why the temporary file could not be made
};

namespace {
// Follows links, refuses anything but a regular file we may write, and makes the temporary
// file with the replaced file's owner and permissions. False when the save cannot go on that
// way: then `fd` is -1 and `error` says why the temporary file could not be made (0 for a
// refused file).
bool beginReplacement(const std::string& path, Replacement& r)
{
    r.target = followLinks(path);
    r.exists = stat(r.target.c_str(), &r.existing) == 0;
    // Renaming over a FIFO or a device would put a file in its place (as root, /dev/null).
    if (r.exists && !S_ISREG(r.existing.st_mode))
        return false;
    if (r.exists && access(r.target.c_str(), W_OK) != 0)
        return false; // a read-only file is the user's to keep
    r.fd = createTemporary(folderOf(r.target), r.temporary);
    if (r.fd < 0) {
        r.error = errno;
        return false;
    }
    if (r.exists) {
        // The replacement keeps the owner (where we may set it) and the permissions.
        [[maybe_unused]] const int owned = fchown(r.fd, r.existing.st_uid, r.existing.st_gid);
        fchmod(r.fd, r.existing.st_mode & 07777);
    }
    return true;
}

// Puts the temporary file, already on disk and closed, in place of the target.
bool finishReplacement(Replacement& r)
{
    if (std::rename(r.temporary.name.c_str(), r.target.c_str()) != 0)
        return false;
    r.temporary.kept = true;
    return true;
}

bool replaceFile(const std::string& path, const std::function<bool(CxFile&)>& write)
{
    Replacement r;
    if (!beginReplacement(path, r)) {
        // The folder is closed to us but the file itself may be written: replace its content in
        // place, the only way left to save under that name.
        if (r.exists && S_ISREG(r.existing.st_mode) && (r.error == EACCES || r.error == EPERM)) {
            const int inPlace = open(r.target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
            return inPlace >= 0 && fillAndClose(inPlace, write);
        }
        return false;
    }
    const int fd = r.fd;
    r.fd = -1;
    return fillAndClose(fd, write) && finishReplacement(r);
}
}

std::string saveRefusal(const std::string& path)
{
    try {
        const std::string target = followLinks(path);
        struct stat st { };
        if (path.empty() || stat(target.c_str(), &st) != 0 || S_ISREG(st.st_mode))
            return {};
        const std::string what = std::string(kindOf(st.st_mode)) + ", not a regular file";
        return "cannot save to \"" + path + "\": "
            + (target == path ? "it is " + what : "it leads to \"" + target + "\", " + what);
    } catch (const std::bad_alloc&) {
        return {}; // the save itself refuses it all the same
    }
}

bool writeFileAtomically(const std::string& path, const std::function<bool(CxFile&)>& write)
{
    if (path.empty())
        return false;
    try {
        return replaceFile(path, write);
    } catch (const std::bad_alloc&) { // the names of the files: the temporary is gone again
        return false;
    }
}

MappedFileSave::MappedFileSave() = default;

MappedFileSave::~MappedFileSave()
{
    unmap();
    if (replacement_ && replacement_->fd >= 0)
        close(replacement_->fd);
}

void MappedFileSave::unmap()
{
    if (bytes_)
        munmap(bytes_, size_);
    bytes_ = nullptr;
}

bool MappedFileSave::begin(const std::string& path, size_t size)
{
    if (path.empty() || size == 0 || replacement_)
        return false;
    try {
        replacement_ = std::make_unique<Replacement>();
    } catch (const std::bad_alloc&) {
        return false;
    }
    Replacement& r = *replacement_;
    // Room for the whole file now, so that writing the mapped pages is unlikely to find the
    // disk full (which the system reports as a bus error at the page written).
    struct statvfs disk { };
    void* mapped = MAP_FAILED;
    if (beginReplacement(path, r) && fstatvfs(r.fd, &disk) == 0
        && uint64_t(disk.f_bavail) * uint64_t(disk.f_frsize) >= uint64_t(size) + kSpare
        && ftruncate(r.fd, off_t(size)) == 0)
        mapped = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, r.fd, 0);
    if (mapped == MAP_FAILED) {
        if (r.fd >= 0)
            close(r.fd);
        replacement_.reset(); // removes the temporary file
        return false;
    }
    bytes_ = static_cast<uint8_t*>(mapped);
    size_ = size;
    return true;
}

const char* MappedFileSave::temporaryName() const
{
    return replacement_ && !replacement_->temporary.name.empty() ? replacement_->temporary.name.c_str() : nullptr;
}

bool MappedFileSave::commit()
{
    if (!bytes_)
        return false;
    Replacement& r = *replacement_;
    // The pages written through the mapping are the file's own: fsync takes them to disk.
    unmap();
    bool ok = fsync(r.fd) == 0;
    ok = close(r.fd) == 0 && ok;
    r.fd = -1;
    ok = ok && finishReplacement(r);
    replacement_.reset(); // removes the temporary file unless it took the target's place
    return ok;
}

} // namespace tessary
