#include "preview/MapSurface.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>
#include <span>
#include <string>
#include <utility>

#include "common/ParallelBlocks.h"
#include "grid/Bilinear.h"
#include "preview/PreviewData.h"
#include "preview/PreviewNodes.h"

namespace torvane {
namespace {

// Nodes along an extent, the last on or beyond its far end; at least two,
// so that a survey along one line still has cells to draw.
double NodesAlong(double extent, double cell) {
  return std::max(2.0, std::floor(extent / cell) + (std::fmod(extent, cell) > 0 ? 2 : 1));
}

// The surface's nodes as grid/ reads its own, blanks as it marks them.
struct SurfaceNodes {
  const MapSurface& surface;
  float At(std::uint32_t c, std::uint32_t r) const {
    const float v = surface.values[static_cast<std::size_t>(c) *
                                       static_cast<std::size_t>(surface.ny) +
                                   r];
    return IsPreviewBlank(v) ? kBlankNode : v;
  }
};

}  // namespace

namespace {

// Lays the nodes over the points' bounding box and makes room for their
// values; false, after telling the user, when that cannot be done.
bool PrepareLattice(Reporter& platform, const PointSet& points, const NeighbourCluster& cluster,
                    double cell_size, double cell, MapSurface& surface, NodeSpacing& lattice) {
  surface = MapSurface();
  if (!(cell > 0) || !std::isfinite(cell)) {
    platform.ShowInfo("Map cell must be greater than 0");
    return false;
  }
  if (points.points.empty() || cluster.empty() || !(cell_size > 0)) {
    platform.ShowInfo("No survey points to map");
    return false;
  }
  const double nx = NodesAlong(points.max_x - points.min_x, cell);
  const double ny = NodesAlong(points.max_y - points.min_y, cell);
  const double bytes = nx * ny * sizeof(float);
  const double available = static_cast<double>(platform.AvailablePhysicalMemory());
  if (!(nx * ny <= static_cast<double>(INT32_MAX)) || !(bytes <= available / 2)) {
    platform.ShowInfo("Map cell too small: " + std::to_string(static_cast<long long>(nx)) +
                      " x " + std::to_string(static_cast<long long>(ny)) +
                      " nodes do not fit into the memory available");
    return false;
  }
  try {
    surface.values.resize(static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny));
  } catch (const std::bad_alloc&) {
    platform.ShowInfo("Not enough memory for temporary buffer");
    return false;
  }
  lattice = {points.min_x, points.min_y, cell, static_cast<int>(nx), static_cast<int>(ny)};
  surface.x0 = lattice.x0;
  surface.y0 = lattice.y0;
  surface.dx = cell;
  surface.dy = cell;
  surface.nx = lattice.nx;
  surface.ny = lattice.ny;
  return true;
}

// Every node's value, node columns side by side on every core.
void FillNodes(const PreviewNodes& nodes, MapSurface& surface) {
  const auto column_length = static_cast<std::size_t>(surface.ny);
  RunInBlocks(
      static_cast<std::size_t>(surface.nx),
      [&](std::size_t i, int) {
        const std::span<float> column =
            std::span<float>(surface.values).subspan(i * column_length, column_length);
        for (int j = 0; j < surface.ny; ++j) {
          column[static_cast<std::size_t>(j)] = nodes.Node(static_cast<int>(i), j);
        }
      },
      [](std::size_t) { return true; });
}

// The surface by curvature splines in tension over the lattice laid.
bool GridByCurvature(Reporter& platform, const PointSet& points, std::span<const double> values,
                     const GriddingOptions& gridding, MapSurface& surface) {
  std::vector<double> x(points.points.size()), y(points.points.size());
  for (std::size_t k = 0; k < x.size(); ++k) {
    x[k] = points.points[k].x;
    y[k] = points.points[k].y;
  }
  const SquareLattice lattice{surface.x0, surface.y0, surface.dx, surface.nx, surface.ny};
  return GridStationsByCurvature(platform, x, y, values, lattice, gridding, kPreviewBlank,
                                 surface.values);
}

}  // namespace

bool GridMapSurface(Reporter& platform, const PointSet& points, const NeighbourCluster& cluster,
                    double cell_size, double SurveyPoint::*value, double cell, double radius,
                    const GriddingOptions& gridding, MapSurface& surface) {
  NodeSpacing lattice;
  if (!PrepareLattice(platform, points, cluster, cell_size, cell, surface, lattice)) return false;
  if (gridding.gridder == Gridder::kMinimumCurvature) {
    std::vector<double> values(points.points.size());
    for (std::size_t k = 0; k < values.size(); ++k) values[k] = points.points[k].*value;
    return GridByCurvature(platform, points, values, gridding, surface);
  }
  FillNodes(PreviewNodes(points, cluster, value, lattice, cell_size, radius), surface);
  return true;
}

bool GridMapSurface(Reporter& platform, const PointSet& points, const NeighbourCluster& cluster,
                    double cell_size, std::span<const double> values, double cell, double radius,
                    const GriddingOptions& gridding, MapSurface& surface) {
  NodeSpacing lattice;
  if (values.size() != points.points.size()) {
    platform.ShowInfo("No value for every station to map");
    return false;
  }
  if (!PrepareLattice(platform, points, cluster, cell_size, cell, surface, lattice)) return false;
  if (gridding.gridder == Gridder::kMinimumCurvature) {
    return GridByCurvature(platform, points, values, gridding, surface);
  }
  FillNodes(PreviewNodes(points, cluster, values, lattice, cell_size, radius), surface);
  return true;
}

MapSurface SurfaceOfGrid(GridValues grid) {
  MapSurface surface;
  surface.x0 = grid.xmin;
  surface.y0 = grid.ymin;
  surface.dx = grid.dx;
  surface.dy = grid.dy;
  surface.nx = static_cast<int>(grid.ncols);
  surface.ny = static_cast<int>(grid.nrows);
  surface.values.resize(grid.nodes.size());
  std::transform(grid.nodes.begin(), grid.nodes.end(), surface.values.begin(),
                 [](float v) { return IsBlank(v) ? kPreviewBlank : v; });
  return surface;
}

float SurfaceValueAt(const MapSurface& surface, double x, double y) {
  if (surface.empty()) return kPreviewBlank;
  // A single column or row has no cell to interpolate in.
  if (surface.nx < 2 || surface.ny < 2) return kPreviewBlank;
  const SurfaceNodes nodes{surface};
  const NodeLattice lattice(surface.x0, surface.dx, static_cast<std::uint32_t>(surface.nx),
                            surface.y0, surface.dy, static_cast<std::uint32_t>(surface.ny));
  const double v = InterpolateBilinear(lattice, nodes, x, y);
  return IsBlank(v) ? kPreviewBlank : StorePreviewValue(v);
}

}  // namespace torvane
