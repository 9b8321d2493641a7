#include "app/resident_memory.h"

#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

namespace tessary {

uint64_t residentBytes()
{
    long pages = 0, resident = 0;
    std::FILE* file = std::fopen("/proc/self/statm", "r");
    if (!file)
        return 0;
    if (std::fscanf(file, "%ld %ld", &pages, &resident) != 2)
        resident = 0;
    std::fclose(file);
    const long pageSize = sysconf(_SC_PAGESIZE);
    return resident > 0 && pageSize > 0 ? uint64_t(resident) * uint64_t(pageSize) : 0;
}

uint64_t peakResidentBytes()
{
    rusage usage {};
    if (getrusage(RUSAGE_SELF, &usage) != 0 || usage.ru_maxrss < 0)
        return 0;
    return uint64_t(usage.ru_maxrss) * 1024; // kilobytes on Linux
}

} // namespace tessary
