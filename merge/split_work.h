#pragma once
#include <cstdint>
#include <functional>

namespace tessary {

// Runs `work` over [begin, end) on the calling thread and one helper thread, each taking runs
// of at least `minimumEach` items in turn until none are left, then waits for both. Everything
// runs on the caller when `twoThreads` is false, when the range holds fewer than 2 x
// `minimumEach` items, when the machine has one core, or when no thread can be started. The runs
// must touch disjoint memory.
void splitInTwo(int32_t begin, int32_t end, int32_t minimumEach, bool twoThreads,
    const std::function<void(int32_t, int32_t)>& work);

} // namespace tessary
