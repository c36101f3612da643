#include "app/GridSurface.h"

#include <utility>

#include "grid/NodeValues.h"
#include "grid/ReadGridValues.h"
#include "points/CoordinateSystem.h"
#include "preview/PointValueGrid.h"
#include "preview/PreviewData.h"

namespace torvane {

bool ReadGridSurface(Reporter& platform, const std::string& path, MapSurface& surface) {
  GridValues grid;
  if (!ReadGridValues(platform, path, grid)) return false;
  surface.x0 = grid.xmin;
  surface.y0 = grid.ymin;
  surface.dx = grid.dx;
  surface.dy = grid.dy;
  surface.nx = static_cast<int>(grid.ncols);
  surface.ny = static_cast<int>(grid.nrows);
  surface.values = std::move(grid.nodes);
  for (float& v : surface.values) {
    if (IsBlank(v)) v = kPreviewBlank;
  }
  return true;
}

bool GridRunResidual(Reporter& platform, const RunRequest& request, const RunResult& result,
                     double cell, GridValues& grid) {
  PointGridRequest gridding;
  gridding.value = &SurveyPoint::residual;
  gridding.cell = cell;
  gridding.radius = request.GriddingRadius();
  gridding.reach = request.GriddingRadius();
  if (!GridPointValues(platform, result.points, gridding, grid)) return false;
  // What a GIS needs to put it in place and name it.
  grid.crs = CrsWkt(result.work_crs);
  grid.variable = "residual";
  grid.units = "mGal";
  return true;
}

}  // namespace torvane
