#include "run/GridCrsChoice.h"

namespace torvane {

GridCrsOutcome ChooseGridWorkCrs(Reporter& platform, const std::string& grid_path,
                                 const std::string& grid_crs, double centre_x, double centre_y,
                                 SurveyCrs& crs) {
  if (grid_crs.empty()) return GridCrsOutcome::kRun;
  const CrsKind kind = DescribeCrs(grid_crs);
  if (kind == CrsKind::kGeographic) {
    platform.ShowMessage(
        "Grid " + grid_path + " is in geographic coordinates, " + CrsTitle(grid_crs) +
            ": rings of a radius in metres need a grid in a projected CRS. Make one, for "
            "example in the UTM zone of its centre: gdalwarp -t_srs " +
            UtmZoneCrs(centre_x, centre_y) + " " + grid_path + " grid_utm.tif",
        "Error", MessageButtons::kOk);
    return GridCrsOutcome::kRefused;
  }
  // Without the stations' CRS they are taken to be in the grid's already.
  if (kind != CrsKind::kProjected || crs.crs.empty()) return GridCrsOutcome::kRun;
  if (!crs.work_crs.empty() && !SameCrs(crs.work_crs, grid_crs)) {
    platform.ShowMessage("The work coordinate reference system " + CrsTitle(crs.work_crs) +
                             " is not the CRS of grid " + grid_path + ", " + CrsTitle(grid_crs) +
                             ": the rings are sampled on the grid, in its CRS. Give the grid's "
                             "CRS as the work CRS, or none.",
                         "Error", MessageButtons::kOk);
    return GridCrsOutcome::kConflict;
  }
  crs.work_crs = grid_crs;
  return GridCrsOutcome::kRun;
}

}  // namespace torvane
