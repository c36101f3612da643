#pragma once
// Grid mode's coordinate reference systems: the rings are sampled on the
// grid, so the stations must be in the grid's CRS. A grid that names a
// projected CRS becomes the work CRS the stations are projected into (when
// their own CRS is given); a geographic grid is refused, since rings of R
// metres cannot be sampled on degrees.

#include <string>

#include "common/Reporter.h"
#include "points/SurveyProjection.h"

namespace torvane {

enum class GridCrsOutcome {
  kRun,       // `crs` is what the stations are projected with
  kRefused,   // the grid cannot be used; the user has been told
  kConflict,  // the work CRS asked for is not the grid's; the user has been told
};

// `grid_crs` is the loaded grid's CRS (empty: it names none) and
// (centre_x, centre_y) the grid's centre in it. With a projected grid and
// the stations' CRS given, `crs.work_crs` becomes the grid's CRS.
GridCrsOutcome ChooseGridWorkCrs(Reporter& platform, const std::string& grid_path,
                                 const std::string& grid_crs, double centre_x, double centre_y,
                                 SurveyCrs& crs);

}  // namespace torvane
