#include "image/clear_mask.h"

#include "image/large_block.h"

#include <cstring>
#include <new>

namespace tessary {

bool allocateClearMask(MaskedDib& target, bool clear)
{
    if (!target.dib)
        return true;
    const uint64_t count = uint64_t(uint32_t(target.dib->width())) * uint64_t(uint32_t(target.dib->height()));
    std::unique_ptr<uint16_t[]> mask;
    if (count != 0 && count <= UINT32_MAX)
        mask.reset(new (std::nothrow) uint16_t[count]);
    if (count > UINT32_MAX || (count != 0 && !mask)) {
        target.dib.reset();
        return true;
    }
    // The advice must come before the first write of the fresh block.
    adviseLargePages(mask.get(), size_t(count) * sizeof(uint16_t));
    if (count != 0 && clear)
        std::memset(mask.get(), 0, size_t(count) * sizeof(uint16_t));
    target.mask = std::move(mask);
    target.maskCount = uint32_t(count);
    target.owned = true;
    return false;
}

} // namespace tessary
