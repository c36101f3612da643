#include "common/SystemMemory.h"

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace torvane {
namespace {

// The number after `key` on its line of a /proc file such as "VmSize:  123
// kB", or 0.
std::uint64_t ProcField(const char* file, const char* key) {
  std::FILE* stream = std::fopen(file, "r");
  if (stream == nullptr) return 0;
  const std::size_t length = std::strlen(key);
  unsigned long long value = 0;
  char line[256];
  while (std::fgets(line, sizeof line, stream) != nullptr) {
    if (std::strncmp(line, key, length) == 0 && std::sscanf(line + length, "%llu", &value) == 1) {
      break;
    }
  }
  std::fclose(stream);
  return value;
}

// The first number in a one-line file; false for "max", a missing file and
// anything else that is no number.
bool ReadNumberFile(const std::string& file, std::uint64_t& value) {
  std::FILE* stream = std::fopen(file.c_str(), "r");
  if (stream == nullptr) return false;
  unsigned long long number = 0;
  const bool read = std::fscanf(stream, "%llu", &number) == 1;
  std::fclose(stream);
  value = number;
  return read;
}

// What the control group (v2) lets this process's group take beyond what it
// holds, or UINT64_MAX without a limit.
std::uint64_t ControlGroupRoom() {
  std::FILE* stream = std::fopen("/proc/self/cgroup", "r");
  if (stream == nullptr) return UINT64_MAX;
  std::string group;
  char line[512];
  while (std::fgets(line, sizeof line, stream) != nullptr) {
    if (std::strncmp(line, "0::", 3) == 0) {
      group = line + 3;
      while (!group.empty() && (group.back() == '\n' || group.back() == '\r')) group.pop_back();
      break;
    }
  }
  std::fclose(stream);
  if (group.empty()) return UINT64_MAX;
  const std::string folder = "/sys/fs/cgroup" + (group == "/" ? std::string() : group);
  std::uint64_t limit = 0;
  std::uint64_t used = 0;
  if (!ReadNumberFile(folder + "/memory.max", limit)) return UINT64_MAX;
  if (!ReadNumberFile(folder + "/memory.current", used)) used = 0;
  return limit > used ? limit - used : 0;
}

// What the address space limit leaves beyond what the process has mapped,
// or UINT64_MAX without a limit.
std::uint64_t AddressSpaceRoom() {
  struct rlimit limit {};
  if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return UINT64_MAX;
  const std::uint64_t mapped = ProcField("/proc/self/status", "VmSize:") * 1024;
  return limit.rlim_cur > mapped ? limit.rlim_cur - mapped : 0;
}

}  // namespace

std::uint64_t AvailablePhysicalMemory() {
  const std::uint64_t available = ProcField("/proc/meminfo", "MemAvailable:") * 1024;
  if (available == 0) return 0;
  // At least a byte: 0 would mean "unknown" to the callers.
  return std::max<std::uint64_t>(1, std::min({available, AddressSpaceRoom(), ControlGroupRoom()}));
}

}  // namespace torvane
