#include "common/SystemMemory.h"

#include <cstdio>
#include <cstring>

namespace torvane {

std::uint64_t AvailablePhysicalMemory() {
  std::FILE* meminfo = std::fopen("/proc/meminfo", "r");
  if (meminfo == nullptr) return 0;
  std::uint64_t kib = 0;
  char line[256];
  while (std::fgets(line, sizeof line, meminfo) != nullptr) {
    unsigned long long value = 0;
    if (std::strncmp(line, "MemAvailable:", 13) == 0 &&
        std::sscanf(line + 13, "%llu", &value) == 1) {
      kib = value;
      break;
    }
  }
  std::fclose(meminfo);
  return kib * 1024;
}

}  // namespace torvane
