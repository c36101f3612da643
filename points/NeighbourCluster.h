#pragma once
// The spatial index over the PointSet: square cells of side cell_size laid
// over the bounding box, cell (ix, iy) centred on (min_x + ix * cell_size,
// min_y + iy * cell_size), each holding the indices of its points in
// ascending order. The last column and row also hold the points beyond their
// outer edge.

#include <cstdint>
#include <span>
#include <vector>

#include "common/Reporter.h"
#include "points/PointSet.h"

namespace torvane {

struct CellIndex {
  std::int64_t ix = 0;
  std::int64_t iy = 0;
};

// The column and row of a position in stored (shifted) coordinates, not
// limited to the grid: below 0 or beyond the last cell for positions outside
// it. Values too large for 64 bits saturate.
CellIndex CellOf(double x, double y, double min_x, double min_y, double cell_size);

class NeighbourCluster {
 public:
  std::int32_t nx() const { return nx_; }
  std::int32_t ny() const { return ny_; }
  bool empty() const { return cell_start_.empty(); }

  // The point indices of cell (ix, iy), 0 <= ix < nx, 0 <= iy < ny.
  std::span<const std::int32_t> Cell(std::int32_t ix, std::int32_t iy) const {
    const std::size_t c = static_cast<std::size_t>(ix) * static_cast<std::size_t>(ny_) +
                          static_cast<std::size_t>(iy);
    return {indices_.data() + cell_start_[c], indices_.data() + cell_start_[c + 1]};
  }

  void Clear();

 private:
  friend bool BuildNeighbourCluster(Reporter&, const PointSet&, double, NeighbourCluster&);

  std::int32_t nx_ = 0;
  std::int32_t ny_ = 0;
  // Cell c = ix * ny + iy holds indices_[cell_start_[c] .. cell_start_[c + 1]).
  std::vector<std::uint32_t> cell_start_;
  std::vector<std::int32_t> indices_;
};

// What the cells of a cluster over `points` take: nx x ny cells (each -1 when
// the count along its axis does not fit 31 bits), and the bytes of the cell
// table, the filed indices and a preview node (4 bytes) per cell, which is
// what drawing a preview on them needs.
struct ClusterSize {
  std::int64_t nx = 0;
  std::int64_t ny = 0;
  std::uint64_t cells = 0;  // 0 when nx or ny is not a count
  std::uint64_t bytes = 0;
};
ClusterSize SizeNeighbourCluster(const PointSet& points, double cell_size);

// Lays the cells over the points and files every point into its cell. When
// the cells cannot be had (too many for memory, or for 32-bit counts), shows
// "Insufficent memory for creting temporary cluster. Increase radius for
// search!", leaves the cluster empty and fails. Cells that would take more
// than the available memory (the platform's answer) count as too many.
bool BuildNeighbourCluster(Reporter& platform, const PointSet& points, double cell_size,
                           NeighbourCluster& cluster);

}  // namespace torvane
