#pragma once
// The geodetic latitude of every station, which normal gravity needs: the
// file's Y where the stations' CRS is geographic, otherwise their file
// coordinates taken through PROJ to the geographic CRS of the same datum.

#include <string>
#include <vector>

#include "common/Reporter.h"
#include "points/PointSet.h"

namespace torvane {

// Degrees, one per point, in the points' order; NaN where PROJ gives none.
// False, with the user told, when `crs` is no geographic or projected CRS or
// PROJ finds no way to its datum's latitudes.
bool StationLatitudes(Reporter& platform, const std::string& crs, const PointSet& points,
                      std::vector<double>& latitudes);

}  // namespace torvane
