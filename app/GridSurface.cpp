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

bool GridRunResidual(Reporter& platform, const RunRequest& request, const RunResult& result,
                     double cell, GridValues& grid, const GriddingOptions& options) {
  PointGridRequest gridding;
  gridding.value = &SurveyPoint::residual;
  gridding.cell = cell > 0 ? cell : DefaultMapCell(request, result);
  gridding.gridding = options;
  gridding.radius = request.GriddingRadius();
  gridding.reach = request.GriddingRadius();
  return GridPointValues(platform, result.points, gridding, grid);
}

}  // namespace torvane
