#include "preview/StationGridder.h"

#include <new>
#include <string>

#include "preview/RoundNumbers.h"
#include "preview/StationSpacing.h"

namespace torvane {
namespace {

constexpr double kMaskInSpacings = 3;
// What the gridder holds per node at its finest lattice, with room to spare.
constexpr double kBytesPerNode = 64;

}  // namespace

std::optional<Gridder> GridderOfName(const std::string& name) {
  if (name == "min-curvature") return Gridder::kMinimumCurvature;
  if (name == "idw") return Gridder::kInverseDistance;
  return std::nullopt;
}

double DefaultStationCell(std::span<const double> x, std::span<const double> y) {
  return RoundNumber(MedianStationSpacing(x, y));
}

bool GridStationsByCurvature(Reporter& platform, std::span<const double> x,
                             std::span<const double> y, std::span<const double> values,
                             const SquareLattice& lattice, const GriddingOptions& options,
                             float blank, std::vector<float>& nodes) {
  nodes.clear();
  const double count = static_cast<double>(lattice.nx) * lattice.ny;
  if (!(count * kBytesPerNode <= static_cast<double>(platform.AvailablePhysicalMemory()) / 2)) {
    platform.ShowInfo("Map cell too small: " + std::to_string(lattice.nx) + " x " +
                      std::to_string(lattice.ny) + " nodes do not fit into the memory available");
    return false;
  }
  try {
    nodes = MinimumCurvatureGrid(x, y, values, lattice, options.tension);
  } catch (const std::bad_alloc&) {
    platform.ShowInfo("Not enough memory for temporary buffer");
    return false;
  }
  if (nodes.empty()) {
    platform.ShowInfo("No survey points to map");
    return false;
  }
  double mask = options.mask_distance;
  if (!(mask > 0)) mask = kMaskInSpacings * MedianStationSpacing(x, y);
  if (!(mask > 0)) mask = lattice.cell;  // all stations at one place
  BlankBeyond(x, y, lattice, mask, nodes, blank);
  return true;
}

}  // namespace torvane
