#include "preview/PointValueGrid.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <new>
#include <utility>

#include "common/ParallelBlocks.h"
#include "points/NeighbourCluster.h"
#include "preview/PreviewData.h"
#include "preview/PreviewNodes.h"

namespace torvane {
namespace {

// Nodes along an extent from its start until they cover it.
int NodesOver(double extent, double cell) {
  return static_cast<int>(std::floor(extent / cell)) + (std::fmod(extent, cell) > 0 ? 2 : 1);
}

bool GridByCurvature(Reporter& platform, const PointSet& points, const PointGridRequest& request,
                     GridValues& out) {
  const double nx = std::floor((points.max_x - points.min_x) / request.cell) + 2;
  const double ny = std::floor((points.max_y - points.min_y) / request.cell) + 2;
  if (!(nx * ny <= static_cast<double>(INT32_MAX))) {
    platform.ShowInfo("Grid cell too small: the nodes do not fit into the memory available");
    return false;
  }
  const SquareLattice lattice{points.min_x, points.min_y, request.cell,
                              NodesOver(points.max_x - points.min_x, request.cell),
                              NodesOver(points.max_y - points.min_y, request.cell)};
  std::vector<double> x(points.points.size()), y(x.size()), v(x.size());
  for (std::size_t k = 0; k < x.size(); ++k) {
    x[k] = points.points[k].x;
    y[k] = points.points[k].y;
    v[k] = points.points[k].*request.value;
  }
  std::vector<float> nodes;
  if (!GridStationsByCurvature(platform, x, y, v, lattice, request.gridding, kBlankNode, nodes)) {
    return false;
  }
  GridValues grid;
  grid.nodes.assign(nodes.begin(), nodes.end());
  grid.ncols = static_cast<std::uint32_t>(lattice.nx);
  grid.nrows = static_cast<std::uint32_t>(lattice.ny);
  grid.xmin = points.min_x - points.shift_x;
  grid.ymin = points.min_y - points.shift_y;
  grid.dx = grid.dy = request.cell;
  out = std::move(grid);
  return true;
}

}  // namespace

bool GridPointValues(Reporter& platform, const PointSet& points, const PointGridRequest& request,
                     GridValues& out) {
  out = GridValues();
  if (points.points.empty() || !(request.cell > 0)) return false;
  if (request.gridding.gridder == Gridder::kMinimumCurvature) return GridByCurvature(platform, points, request, out);
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
