#pragma once
#include <cstdint>

namespace torvane {

// The physical memory the system could give this process now without
// swapping, in bytes (MemAvailable of /proc/meminfo; 0 when it cannot be read).
std::uint64_t AvailablePhysicalMemory();

}  // namespace torvane
