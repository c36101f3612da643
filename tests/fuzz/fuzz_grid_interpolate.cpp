// Interpolate on any grid file, the nodes once in memory, once read from
// the file's mapping (disk mode) and once with pread from a file that is not
// mapped: all must answer the same at every probe, bit for bit, and hold the
// same nodes.

#include <bit>
#include <cmath>

#include "tests/fuzz/FuzzEntries.h"
#include "tests/fuzz/GridChecks.h"

namespace torvane::fuzzing {
namespace {

bool Same(double a, double b) {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b) ||
         (std::isnan(a) && std::isnan(b));
}

}  // namespace

std::string FuzzGridInterpolate(Bytes data) {
  static InputFile file;
  const std::string& path = file.Hold(data);
  CountingPlatform memory_platform;
  CountingPlatform disk_platform;
  CountingPlatform read_platform;
  TGridImport memory(memory_platform);
  TGridImport disk(disk_platform, 0);
  TGridImport read(read_platform, 0, MappedFile::Access::kRead);
  const bool memory_loaded = memory.Load(path);
  const bool disk_loaded = disk.Load(path);
  if (read.Load(path) != disk_loaded || read.on_disk() != disk.on_disk()) {
    return "a file read and a file mapped were taken differently";
  }
  // Only the binary formats can be read from the file.
  if (!disk_loaded || !disk.on_disk()) return "";
  if (!memory_loaded) return "a grid read from the file that memory did not take";
  if (memory.format() != disk.format() || memory.ncols() != disk.ncols() || memory.nrows() != disk.nrows()) {
    return "memory and disk mode took different grids";
  }
  for (const Position& p : ProbePositions(memory)) {
    const double in_memory = memory.Interpolate(p.x, p.y);
    if (!Same(in_memory, disk.Interpolate(p.x, p.y)) || !Same(in_memory, read.Interpolate(p.x, p.y))) {
      return "memory and disk mode answer differently";
    }
  }
  for (const std::uint32_t c : {0u, 1u, memory.ncols() / 2, memory.ncols() - 1}) {
    for (const std::uint32_t r : {0u, 1u, memory.nrows() / 2, memory.nrows() - 1}) {
      if (c >= memory.ncols() || r >= memory.nrows()) continue;
      if (!Same(memory.Node(c, r), disk.Node(c, r)) || !Same(memory.Node(c, r), read.Node(c, r))) {
        return "memory and disk hold different nodes";
      }
    }
  }
  return "";
}

}  // namespace torvane::fuzzing

TORVANE_FUZZ_TARGET(torvane::fuzzing::FuzzGridInterpolate)
