#include "image/atomic_file.h"

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tessary {

namespace {
    mode_t modeForNewFile()
    {
        const mode_t mask = umask(0);
        umask(mask);
        return 0666 & ~mask;
    }
}

bool writeFileAtomically(const std::string& path, const std::function<bool(CxFile&)>& write)
{
    if (path.empty())
        return false;
    std::string pattern = path + ".tmpXXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = mkstemp(name.data());
    if (fd < 0)
        return false;
    const std::string temporary(name.data());

    struct stat existing {};
    const mode_t mode = stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : modeForNewFile();
    fchmod(fd, mode);

    std::FILE* stream = fdopen(fd, "wb");
    if (!stream) {
        close(fd);
        std::remove(temporary.c_str());
        return false;
    }
    CxIOFile file;
    file.Attach(stream);
    bool ok = write(file);
    ok = file.Flush() && ok;
    ok = fsync(fileno(stream)) == 0 && ok;
    ok = file.Close() && ok;
    if (ok && std::rename(temporary.c_str(), path.c_str()) == 0)
        return true;
    std::remove(temporary.c_str());
    return false;
}

} // namespace tessary
