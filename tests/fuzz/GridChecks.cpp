#include "tests/fuzz/GridChecks.h"

#include <cmath>
#include <limits>

namespace torvane::fuzzing {
namespace {

// Cell indexes worth probing along an axis of `count` nodes.
std::vector<double> ProbeIndexes(std::uint32_t count) {
  std::vector<double> indexes;
  for (const double cell : {0.0, 1.0, static_cast<double>(count / 2), static_cast<double>(count) - 2,
                            static_cast<double>(count) - 1}) {
    for (const double within : {0.0, 0.25, 0.5, 0.999}) indexes.push_back(cell + within);
  }
  return indexes;
}

}  // namespace

std::vector<Position> ProbePositions(const TGridImport& grid) {
  std::vector<Position> positions;
  for (const double i : ProbeIndexes(grid.ncols())) {
    for (const double j : ProbeIndexes(grid.nrows())) {
      positions.push_back({grid.xmin() + i * grid.dx(), grid.ymin() + j * grid.dy()});
    }
  }
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  for (const double far : {kNaN, kInfinity, -kInfinity, 1e308, -1e308, 0.0}) {
    positions.push_back({far, grid.ymin()});
    positions.push_back({grid.xmin(), far});
  }
  positions.push_back({grid.xmax(), grid.ymax()});
  return positions;
}

std::string CheckGrid(const TGridImport& grid, bool accepted, int messages) {
  if (!accepted) {
    if (grid.format() != nullptr || grid.in_memory() || grid.on_disk()) {
      return "a declined grid kept something";
    }
    if (messages == 0) return "a declined grid without a message";
  } else if (grid.format() == nullptr) {
    return "an accepted grid without a format";
  }
  const bool has_nodes = grid.in_memory() || grid.on_disk();
  if (has_nodes && (grid.ncols() < 1 || grid.nrows() < 1 || grid.ncols() > INT32_MAX ||
                    grid.nrows() > INT32_MAX)) {
    return "nodes held for counts that make no grid";
  }
  if (grid.in_memory() && grid.on_disk()) return "nodes both in memory and on disk";
  for (const Position& p : ProbePositions(grid)) {
    const double value = grid.Interpolate(p.x, p.y);
    if (!has_nodes && !IsBlank(value)) return "a grid without nodes answered a value";
  }
  if (has_nodes) {
    // The corner nodes, wherever they are held.
    for (const std::uint32_t c : {0u, grid.ncols() - 1}) {
      for (const std::uint32_t r : {0u, grid.nrows() - 1}) {
        const float node = grid.Node(c, r);
        if (std::isnan(node)) return "a node that is no number";
      }
    }
  }
  return "";
}

std::string CheckReader(ReaderFunction reader, Bytes data) {
  static InputFile file;
  const std::string& path = file.Hold(data);
  for (const std::uint64_t memory_limit : {UINT64_MAX, std::uint64_t{0}}) {
    CountingPlatform platform;
    TGridImport grid(platform, memory_limit);
    MappedFile mapped;
    if (!mapped.Open(path)) return "the input could not be mapped";
    const bool accepted = reader(grid, mapped, path);
    if (!accepted) continue;  // a reader that declines may leave its fields for Load to clear
    if (std::string problem = CheckGrid(grid, true, platform.messages); !problem.empty()) {
      return problem;
    }
  }
  return "";
}

}  // namespace torvane::fuzzing
