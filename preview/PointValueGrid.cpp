#include "preview/PointValueGrid.h"

#include <new>
#include <utility>

#include "common/ParallelBlocks.h"
#include "points/NeighbourCluster.h"
#include "preview/PreviewData.h"
#include "preview/PreviewNodes.h"

namespace torvane {

bool GridPointValues(Reporter& platform, const PointSet& points, const PointGridRequest& request,
                     GridValues& out) {
  out = GridValues();
  if (points.points.empty() || !(request.cell > 0)) return false;
  // The nodes are the centres of the cells of a cluster of this cell size.
  NeighbourCluster cluster;
  if (!BuildNeighbourCluster(platform, points, request.cell, cluster)) return false;
  const PreviewNodes nodes(points, cluster, request.value, request.cell, request.radius,
                           ReachInCells(request.reach, request.cell, cluster));
  GridValues grid;
  grid.ncols = static_cast<std::uint32_t>(nodes.nx());
  grid.nrows = static_cast<std::uint32_t>(nodes.ny());
  grid.xmin = points.min_x - points.shift_x;
  grid.ymin = points.min_y - points.shift_y;
  grid.dx = grid.dy = request.cell;
  try {
    grid.nodes.resize(static_cast<std::size_t>(grid.ncols) * grid.nrows);
  } catch (const std::bad_alloc&) {
    platform.ShowInfo("Not enough memory for temporary buffer");
    return false;
  }
  RunInBlocks(
      grid.ncols,
      [&](std::size_t i, int) {
        const auto c = static_cast<std::uint32_t>(i);
        for (std::uint32_t r = 0; r < grid.nrows; ++r) {
          const float value = nodes.Node(static_cast<int>(c), static_cast<int>(r));
          grid.At(c, r) = IsPreviewBlank(value) ? kBlankNode : value;
        }
      },
      [](std::size_t) { return true; });
  out = std::move(grid);
  return true;
}

}  // namespace torvane
