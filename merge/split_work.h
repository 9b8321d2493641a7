#pragma once
#include <cstdint>
#include <functional>

namespace tessary {

// Runs work(begin, mid) on a helper thread and work(mid, end) on the calling thread, then waits
// for both. Everything runs on the caller when `twoThreads` is false, when the range holds fewer
// than 2 x `minimumEach` items, when the machine has one core, or when no thread can be started.
// The halves must touch disjoint memory.
void splitInTwo(int32_t begin, int32_t end, int32_t minimumEach, bool twoThreads,
    const std::function<void(int32_t, int32_t)>& work);

} // namespace tessary
