#pragma once
#include <cstdint>

namespace tessary {

// The process's resident memory now, in bytes (0 where the system does not tell).
uint64_t residentBytes();
// The most resident memory the process has held so far, in bytes (0 where not told).
uint64_t peakResidentBytes();

} // namespace tessary
