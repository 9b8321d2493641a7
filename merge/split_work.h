#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <thread>

namespace tessary {

// A reference to the work of `splitInTwo` (any callable taking a run [from, to)), made without
// allocating, so that handing work over cannot run out of memory. It must not outlive the call.
class SplitWork {
public:
    template <class Work>
    SplitWork(const Work& work)
        : object_(&work)
        , call_([](const void* object, int32_t from, int32_t to) {
            (*static_cast<const Work*>(object))(from, to);
        })
    {
    }
    void operator()(int32_t from, int32_t to) const { call_(object_, from, to); }

private:
    const void* object_;
    void (*call_)(const void*, int32_t, int32_t);
};

// Runs `work` over [begin, end) on the calling thread and one helper thread, each taking runs
// of at least `minimumEach` items in turn until none are left, then waits for both. Everything
// runs on the caller when `twoThreads` is false, when the range holds fewer than 2 x
// `minimumEach` items, when the machine has one core, or when no thread can be started (the
// system refuses one, or memory runs out). The runs must touch disjoint memory.
void splitInTwo(int32_t begin, int32_t end, int32_t minimumEach, bool twoThreads, SplitWork work);

// Two values of T for `splitInTwo`'s work: one for the thread that made this object (the caller
// of splitInTwo) and one for the helper thread, so each run touches only its own.
template <class T> class TwoThreadValues {
public:
    T& mine() { return std::this_thread::get_id() == caller_ ? caller : helper; }
    const T& mine() const { return std::this_thread::get_id() == caller_ ? caller : helper; }
    T caller {};
    T helper {};

private:
    std::thread::id caller_ = std::this_thread::get_id();
};

// Scratch values for `splitInTwo`'s work: one block for the thread that made this object (the
// caller of splitInTwo) and one for the helper thread, so each run writes only its own.
class TwoThreadScratch {
public:
    // Blocks of `count` values each; false when memory runs out.
    bool allocate(size_t count);
    // The block of the thread asking.
    uint16_t* mine() const { return blocks_.mine().get(); }

private:
    TwoThreadValues<std::unique_ptr<uint16_t[]>> blocks_;
};

} // namespace tessary
