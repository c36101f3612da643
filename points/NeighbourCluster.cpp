#include "points/NeighbourCluster.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

namespace torvane {
namespace {

constexpr const char* kNoMemoryMessage =
    "Insufficent memory for creting temporary cluster. Increase radius for search!";

std::int64_t SaturatingFloor(double value) {
  constexpr double kLimit = 9.2e18;  // just inside the int64 range
  const double f = std::floor(value);
  if (!(f >= -kLimit)) return static_cast<std::int64_t>(-kLimit);  // NaN lands here too
  if (f > kLimit) return static_cast<std::int64_t>(kLimit);
  return static_cast<std::int64_t>(f);
}

// The number of cells along one axis, or -1 when it is not a count that fits
// a signed 32-bit integer (an enormous, infinite or undefined extent ratio).
std::int64_t CellCount(double min, double max, double cell_size) {
  const double cells = std::floor((max - min + cell_size) / cell_size);
  if (!(cells >= 1.0) || cells > std::numeric_limits<std::int32_t>::max()) return -1;
  return static_cast<std::int64_t>(cells);
}

std::size_t CellOfPoint(const SurveyPoint& p, const PointSet& points, double cell_size,
                        std::int64_t nx, std::int64_t ny) {
  const CellIndex cell = CellOf(p.x, p.y, points.min_x, points.min_y, cell_size);
  const std::int64_t ix = std::min(std::max<std::int64_t>(cell.ix, 0), nx - 1);
  const std::int64_t iy = std::min(std::max<std::int64_t>(cell.iy, 0), ny - 1);
  return static_cast<std::size_t>(ix * ny + iy);
}

}  // namespace

CellIndex CellOf(double x, double y, double min_x, double min_y, double cell_size) {
  return {SaturatingFloor((x - min_x + cell_size / 2) / cell_size),
          SaturatingFloor((y - min_y + cell_size / 2) / cell_size)};
}

void NeighbourCluster::Clear() {
  cell_start_ = {};
  indices_ = {};
}

ClusterSize SizeNeighbourCluster(const PointSet& points, double cell_size) {
  ClusterSize size;
  size.nx = CellCount(points.min_x, points.max_x, cell_size);
  size.ny = CellCount(points.min_y, points.max_y, cell_size);
  // Both counts fit 31 bits, so their product and the sizes in bytes fit 64
  // bits.
  size.cells = size.nx > 0 && size.ny > 0 ? static_cast<std::uint64_t>(size.nx * size.ny) : 0;
  size.bytes = (size.cells + 1) * sizeof(std::uint32_t) + size.cells * sizeof(float) +
               points.points.size() * sizeof(std::int32_t);
  return size;
}

bool BuildNeighbourCluster(Reporter& platform, const PointSet& points, double cell_size,
                           NeighbourCluster& cluster) {
  cluster.Clear();
  const ClusterSize size = SizeNeighbourCluster(points, cell_size);
  const std::int64_t nx = size.nx;
  const std::int64_t ny = size.ny;
  const std::uint64_t cells = size.cells;
  cluster.nx_ = static_cast<std::int32_t>(std::max<std::int64_t>(nx, 0));
  cluster.ny_ = static_cast<std::int32_t>(std::max<std::int64_t>(ny, 0));

  // The table, and the preview nodes drawn on it, must fit in the memory
  // the system has free (when the system tells): an allocation beyond it
  // would only push the machine into swapping, or end the process.
  const std::uint64_t available = platform.AvailablePhysicalMemory();
  if (cells == 0 || cells >= std::numeric_limits<std::uint32_t>::max() ||
      (available != 0 && size.bytes > available)) {
    platform.ShowInfo(kNoMemoryMessage);
    return false;
  }
  try {
    cluster.cell_start_.assign(cells + 1, 0);
    cluster.indices_.resize(points.points.size());
  } catch (const std::bad_alloc&) {
    cluster.Clear();
    platform.ShowInfo(kNoMemoryMessage);
    return false;
  }

  // Counting sort by cell: count, turn counts into starts, then file the
  // indices in ascending order, which keeps each cell's list ascending.
  std::vector<std::uint32_t>& start = cluster.cell_start_;
  for (const SurveyPoint& p : points.points) ++start[CellOfPoint(p, points, cell_size, nx, ny) + 1];
  for (std::size_t c = 1; c <= cells; ++c) start[c] += start[c - 1];
  for (std::size_t i = 0; i < points.points.size(); ++i) {
    const std::size_t c = CellOfPoint(points.points[i], points, cell_size, nx, ny);
    cluster.indices_[start[c]++] = static_cast<std::int32_t>(i);
  }
  // Filing moved every start to the start of the next cell; move them back.
  for (std::size_t c = cells; c > 0; --c) start[c] = start[c - 1];
  start[0] = 0;
  return true;
}

}  // namespace torvane
