#include "image/temporary_files.h"

#include <atomic>
#include <cstring>
#include <unistd.h>

namespace tessary {

namespace {
// A slot's name is written only while the slot is Filling, and read by the handler only after
// it moved the slot from Live to Removing, so neither ever sees half a name.
enum State : int { kFree, kFilling, kLive, kRemoving };

struct Slot {
    std::atomic<int> state { kFree };
    char path[kMaxTemporaryPath] {};
};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler must not take a lock");

Slot gSlots[kMaxTemporaryFiles];
}

int registerTemporaryFile(const char* path) noexcept
{
    if (!path || std::strlen(path) >= size_t(kMaxTemporaryPath))
        return -1;
    for (int i = 0; i < kMaxTemporaryFiles; ++i) {
        int expected = kFree;
        if (!gSlots[i].state.compare_exchange_strong(expected, kFilling))
            continue;
        std::strcpy(gSlots[i].path, path);
        gSlots[i].state.store(kLive);
        return i;
    }
    return -1;
}

void releaseTemporaryFile(int slot) noexcept
{
    if (slot < 0 || slot >= kMaxTemporaryFiles)
        return;
    // Fails only when a handler is removing the file already: it keeps the slot.
    int expected = kLive;
    gSlots[slot].state.compare_exchange_strong(expected, kFree);
}

void removeTemporaryFiles() noexcept
{
    for (Slot& slot : gSlots) {
        int expected = kLive;
        if (slot.state.compare_exchange_strong(expected, kRemoving))
            unlink(slot.path);
    }
}

} // namespace tessary
