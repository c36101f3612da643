#pragma once
// The surface a map colours: a regular lattice of values in single
// precision, gridded from the survey points with the previews' inverse-
// distance weighting, or taken from a grid file's own nodes. Values of 1e37
// or more are blank, as in the previews.

#include <cstddef>
#include <span>
#include <vector>

#include "common/Reporter.h"
#include "grid/GridValues.h"
#include "points/NeighbourCluster.h"
#include "points/PointSet.h"
#include "preview/StationGridder.h"

namespace torvane {

struct MapSurface {
  // Node (i, j) lies at (x0 + i * dx, y0 + j * dy); its value is at
  // i * ny + j (column after column from the west, each from the south).
  double x0 = 0, y0 = 0;
  double dx = 0, dy = 0;
  int nx = 0, ny = 0;
  std::vector<float> values;

  bool empty() const { return nx < 1 || ny < 1 || values.size() < Nodes(); }
  std::size_t Nodes() const {
    return static_cast<std::size_t>(nx < 0 ? 0 : nx) * static_cast<std::size_t>(ny < 0 ? 0 : ny);
  }
  double x_max() const { return x0 + (nx - 1) * dx; }
  double y_max() const { return y0 + (ny - 1) * dy; }
};

// Grids `value` of every point onto nodes `cell` apart over the points'
// bounding box (the first node on its south-west corner, at least two
// nodes along each axis) by the gridder of `gridding`: curvature splines in
// tension blanked beyond the mask distance, or each node the 1 / distance
// weighted mean of the points within `radius` of it, blank where there are
// none. `cluster` must index `points`, with cells of
// `cell_size`. False, after telling the user why, when the cell is not a
// positive number or the nodes would not fit into the memory available.
bool GridMapSurface(Reporter& platform, const PointSet& points, const NeighbourCluster& cluster,
                    double cell_size, double SurveyPoint::*value, double cell, double radius,
                    const GriddingOptions& gridding, MapSurface& surface);
// The same for a value of each point's own, in point order (one per point).
bool GridMapSurface(Reporter& platform, const PointSet& points, const NeighbourCluster& cluster,
                    double cell_size, std::span<const double> values, double cell, double radius,
                    const GriddingOptions& gridding, MapSurface& surface);

// A grid's nodes as a surface, its blanks the previews' blank.
MapSurface SurfaceOfGrid(GridValues grid);

// The surface's value at (x, y), bilinear between the four nodes around it;
// blank outside the nodes and next to a blank node, and everywhere on a
// surface of a single node column or row.
float SurfaceValueAt(const MapSurface& surface, double x, double y);

}  // namespace torvane
