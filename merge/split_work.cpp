#include "merge/split_work.h"

#include <system_error>
#include <thread>

namespace tessary {

void splitInTwo(int32_t begin, int32_t end, int32_t minimumEach, bool twoThreads,
    const std::function<void(int32_t, int32_t)>& work)
{
    if (end <= begin)
        return;
    static const bool machineHasTwoCores = std::thread::hardware_concurrency() >= 2;
    const int64_t count = int64_t(end) - begin;
    if (!twoThreads || !machineHasTwoCores || count < 2 * int64_t(minimumEach < 1 ? 1 : minimumEach)) {
        work(begin, end);
        return;
    }
    const int32_t mid = int32_t(begin + count / 2);
    std::thread helper;
    try {
        helper = std::thread(work, begin, mid);
    } catch (const std::system_error&) {
        work(begin, end);
        return;
    }
    work(mid, end);
    helper.join();
}

} // namespace tessary
