#pragma once
#include <cstddef>

namespace tessary {

// Memory for whole images. A block of several megabytes is asked to be backed by the system's
// large pages where it offers them: filling a picture then takes one page fault per 2 MiB
// instead of one per 4 KiB, which on a virtual machine is most of the cost of a fresh image.
// `zeroed` blocks come from calloc, whose large blocks are fresh pages the system clears, so no
// pass of ours writes the zeros. Free with std::free. Null when memory runs out.
void* allocateLargeBlock(size_t bytes, bool zeroed);

// Asks for large pages under [block, block + bytes) before it is first written; nothing happens
// for small blocks or where the system has no such advice.
void adviseLargePages(void* block, size_t bytes);

} // namespace tessary
