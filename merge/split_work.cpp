#include "merge/split_work.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <new>
#include <thread>

namespace tessary {

void splitInTwo(int32_t begin, int32_t end, int32_t minimumEach, bool twoThreads, SplitWork work)
{
    if (end <= begin)
        return;
    static const bool machineHasTwoCores = std::thread::hardware_concurrency() >= 2;
    const int32_t least = std::max<int32_t>(1, minimumEach);
    const int64_t count = int64_t(end) - begin;
    if (!twoThreads || !machineHasTwoCores || count < 2 * int64_t(least)) {
        work(begin, end);
        return;
    }
    // Both threads take small runs from a shared counter, so a thread the system holds back
    // (the machine may be busy with other work) does not hold the other one up.
    const int32_t grain = int32_t(std::max<int64_t>(least, count / 16));
    std::atomic<int64_t> next { begin };
    const auto pull = [&]() {
        for (;;) {
            const int64_t from = next.fetch_add(grain);
            if (from >= end)
                return;
            work(int32_t(from), int32_t(std::min<int64_t>(end, from + grain)));
        }
    };
    std::thread helper;
    try {
        helper = std::thread(pull);
    } catch (const std::exception&) { // std::system_error, or std::bad_alloc for its state
        pull();
        return;
    }
    pull();
    helper.join();
}

bool TwoThreadScratch::allocate(size_t count)
{
    blocks_.caller.reset(new (std::nothrow) uint16_t[std::max<size_t>(count, 1)]);
    blocks_.helper.reset(new (std::nothrow) uint16_t[std::max<size_t>(count, 1)]);
    return blocks_.caller && blocks_.helper;
}

} // namespace tessary
