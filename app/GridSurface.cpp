#include "app/GridSurface.h"

#include <utility>

#include "app/RunMap.h"
#include "grid/NodeValues.h"
#include "grid/ReadGridValues.h"
#include "points/CoordinateSystem.h"
#include "preview/PointValueGrid.h"
#include "preview/PreviewData.h"

namespace torvane {

bool ReadGridSurface(Reporter& platform, const std::string& path, MapSurface& surface,
                     std::string* crs) {
  GridValues grid;
  if (!ReadGridValues(platform, path, grid)) return false;
  if (crs != nullptr) *crs = grid.crs;
  surface = SurfaceOfGrid(std::move(grid));
  return true;
}

void NameGridMap(MapScene& scene, const std::string& path, const std::string& crs,
                 const std::string& title, bool geographic) {
  const std::size_t slash = path.find_last_of('/');
  scene.title = title.empty() ? path.substr(slash == std::string::npos ? 0 : slash + 1) : title;
  scene.geographic = geographic;
  scene.crs_name.clear();
  if (!crs.empty()) {
    scene.crs_name = CrsDisplayName(crs);
    scene.geographic = geographic || DescribeCrs(crs) == CrsKind::kGeographic;
  }
}

bool GridRunResidual(Reporter& platform, const RunRequest& request, const RunResult& result,
                     double cell, GridValues& grid, const GriddingOptions& options) {
  PointGridRequest gridding;
  gridding.value = &SurveyPoint::residual;
  gridding.cell = cell > 0 ? cell : DefaultMapCell(request, result);
  gridding.gridding = options;
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
