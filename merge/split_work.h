#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

namespace tessary {

// Runs `work` over [begin, end) on the calling thread and one helper thread, each taking runs
// of at least `minimumEach` items in turn until none are left, then waits for both. Everything
// runs on the caller when `twoThreads` is false, when the range holds fewer than 2 x
// `minimumEach` items, when the machine has one core, or when no thread can be started. The runs
// must touch disjoint memory.
void splitInTwo(int32_t begin, int32_t end, int32_t minimumEach, bool twoThreads,
    const std::function<void(int32_t, int32_t)>& work);

// Scratch values for `splitInTwo`'s work: one block for the thread that made this object (the
// caller of splitInTwo) and one for the helper thread, so each run writes only its own.
class TwoThreadScratch {
public:
    // Blocks of `count` values each; false when memory runs out.
    bool allocate(size_t count);
    // The block of the thread asking.
    uint16_t* mine() const
    {
        return std::this_thread::get_id() == caller_ ? callerBlock_.get() : helperBlock_.get();
    }

private:
    std::thread::id caller_ = std::this_thread::get_id();
    std::unique_ptr<uint16_t[]> callerBlock_;
    std::unique_ptr<uint16_t[]> helperBlock_;
};

} // namespace tessary
