#pragma once
// Writes a grid in the format asked for, or tells the user why not: the
// grid is checked (what no format holds, then what the format cannot hold)
// before any file is made, written to a temporary file beside the target,
// and renamed over it only when complete.

#include <string>

#include "common/Reporter.h"
#include "grid/GridFormat.h"
#include "grid/GridValues.h"

namespace torvane {

// False after showing "Cannot write grid <path>: <reason>" with the caption
// "Error"; an existing file at `path` is then as it was. The grid's CRS goes
// into the file (GeoTIFF, netCDF) or a `.prj` beside it (ESRI ASCII); the
// formats without room for one (Surfer, Geosoft) are written with a note
// (caption "Note") that it was not stored.
bool WriteGrid(Reporter& platform, const GridValues& grid, const std::string& path,
               const GridFormat& format);

}  // namespace torvane
