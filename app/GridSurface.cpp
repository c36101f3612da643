#include "app/GridSurface.h"

#include <utility>

#include "app/RunMap.h"
#include "grid/NodeValues.h"
#include "grid/ReadGridValues.h"
#include "preview/PointValueGrid.h"
#include "preview/PreviewData.h"

namespace torvane {

bool ReadGridSurface(Reporter& platform, const std::string& path, MapSurface& surface) {
  GridValues grid;
  if (!ReadGridValues(platform, path, grid)) return false;
  surface = SurfaceOfGrid(std::move(grid));
  return true;
}

bool GridRunResidual(Reporter& platform, const TfrmMain& form, double cell, GridValues& grid,
                     const GriddingOptions& options) {
  PointGridRequest gridding;
  gridding.value = &SurveyPoint::residual;
  gridding.cell = cell > 0 ? cell : DefaultMapCell(form);
  gridding.gridding = options;
  gridding.radius = form.Parameters().preview_radius;
  gridding.reach = form.Parameters().preview_reach;
  return GridPointValues(platform, form.Points(), gridding, grid);
}

}  // namespace torvane
