// Any bytes as a grid file read whole, as convert, map, grid-residual and
// Python's read_grid read it: the grid is read or refused with a message,
// and no header (however much it claims) makes it hold more nodes than its
// file could: one byte a node at the least, or zlib's greatest ratio for a
// compressed Geosoft grid. The memory the fuzzer allows (2 GB) catches an
// allocation that runs ahead of the check.

#include "grid/ReadGridValues.h"
#include "tests/fuzz/FuzzEntries.h"

namespace torvane::fuzzing {

std::string FuzzReadGridValues(Bytes data) {
  static InputFile file;
  CountingPlatform platform;
  GridValues grid;
  const bool read = ReadGridValues(platform, file.Hold(data), grid);
  if (!read) {
    if (platform.messages == 0) return "a refused grid said nothing";
    return grid.nodes.empty() ? "" : "a refused grid kept nodes";
  }
  const std::uint64_t nodes = std::uint64_t{grid.ncols} * grid.nrows;
  if (grid.ncols == 0 || grid.nrows == 0 || grid.nodes.size() != nodes) {
    return "the nodes are not ncols x nrows";
  }
  constexpr std::uint64_t kMostZlibRatio = 1032;
  if (nodes > data.size() * kMostZlibRatio) return "more nodes than the file could hold";
  return "";
}

}  // namespace torvane::fuzzing

TORVANE_FUZZ_TARGET(torvane::fuzzing::FuzzReadGridValues)
