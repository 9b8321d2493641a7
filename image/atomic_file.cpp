#include "image/atomic_file.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <new>
#include <sys/random.h>
#include <sys/stat.h>
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

// A new file with a short name in `folder`, so that a target name of up to 255 bytes still
// leaves room for it. Created with 0666 so the kernel applies the process umask itself.
int createTemporary(const std::string& folder, std::string& name)
{
    constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned char random[6] {};
        if (getrandom(random, sizeof random, 0) != ssize_t(sizeof random))
            return -1;
        name = folder + "/.tessary-";
        for (unsigned char r : random)
            name += kLetters[r % (sizeof kLetters - 1)];
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
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

// Removes the temporary file unless it was renamed over the target.
struct TemporaryFile {
    std::string name;
    bool kept = false;
    ~TemporaryFile()
    {
        if (!kept && !name.empty())
            unlink(name.c_str());
    }
};

bool replaceFile(const std::string& path, const std::function<bool(CxFile&)>& write)
{
    const std::string target = followLinks(path);
    struct stat existing { };
    const bool exists = stat(target.c_str(), &existing) == 0;
    if (exists && access(target.c_str(), W_OK) != 0)
        return false; // a read-only file is the user's to keep

    TemporaryFile temporary;
    const int fd = createTemporary(folderOf(target), temporary.name);
    if (fd < 0) {
        const int error = errno;
        temporary.name.clear();
        // The folder is closed to us but the file itself may be written: replace its content in
        // place, the only way left to save under that name.
        if (exists && S_ISREG(existing.st_mode) && (error == EACCES || error == EPERM)) {
            const int inPlace = open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
            return inPlace >= 0 && fillAndClose(inPlace, write);
        }
        return false;
    }
    if (exists) {
        // The replacement keeps the owner (where we may set it) and the permissions.
        [[maybe_unused]] const int owned = fchown(fd, existing.st_uid, existing.st_gid);
        fchmod(fd, existing.st_mode & 07777);
    }
    if (!fillAndClose(fd, write) || std::rename(temporary.name.c_str(), target.c_str()) != 0)
        return false;
    temporary.kept = true;
    return true;
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

} // namespace tessary
