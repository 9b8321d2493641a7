#include "image/large_block.h"

#include <cstdint>
#include <cstdlib>
#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace tessary {

void adviseLargePages(void* block, size_t bytes)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr uintptr_t kPage = 4096;
    constexpr size_t kWorthIt = size_t(4) << 20;
    if (!block || bytes < kWorthIt)
        return;
    // Only whole pages inside the block; the advice is a hint, so a refusal changes nothing.
    const uintptr_t start = (reinterpret_cast<uintptr_t>(block) + kPage - 1) & ~(kPage - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(block) + bytes) & ~(kPage - 1);
    if (end > start)
        madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
#else
    (void)block;
    (void)bytes;
#endif
}

void* allocateLargeBlock(size_t bytes, bool zeroed)
{
    void* block = zeroed ? std::calloc(bytes, 1) : std::malloc(bytes);
    adviseLargePages(block, bytes);
    return block;
}

} // namespace tessary
