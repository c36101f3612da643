#pragma once
#include <cstdint>

namespace torvane {

// The memory this process could take now without swapping or being stopped,
// in bytes: the system's MemAvailable (/proc/meminfo), lowered to what is
// left of the process's address space limit (RLIMIT_AS) and of its control
// group's memory limit, where those are set. 0 when /proc/meminfo cannot be
// read.
std::uint64_t AvailablePhysicalMemory();

}  // namespace torvane
