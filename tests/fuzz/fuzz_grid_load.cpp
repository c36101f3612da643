// Load on any bytes: the readers in their order (GDAL last), with the nodes in
// memory and read from the file. A grid is taken, or the user is told why
// not and the grid is left empty.

#include "tests/fuzz/FuzzEntries.h"
#include "tests/fuzz/GridChecks.h"

namespace torvane::fuzzing {

std::string FuzzGridLoad(Bytes data) {
  static InputFile file;
  const std::string& path = file.Hold(data);
  for (const std::uint64_t memory_limit : {UINT64_MAX, std::uint64_t{0}}) {
    CountingPlatform platform;
    TGridImport grid(platform, memory_limit);
    const bool accepted = grid.Load(path);
    if (std::string problem = CheckGrid(grid, accepted, platform.messages); !problem.empty()) {
      return problem;
    }
  }
  return "";
}

}  // namespace torvane::fuzzing

TORVANE_FUZZ_TARGET(torvane::fuzzing::FuzzGridLoad)
