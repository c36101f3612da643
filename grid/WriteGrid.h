#pragma once
// Writes a grid in the format asked for, or tells the user why not.

#include <string>

#include "common/Reporter.h"
#include "grid/GridFileType.h"
#include "grid/GridValues.h"

namespace torvane {

// False after showing "Cannot write grid <path>: <reason>" with the caption
// "Error"; an existing file at `path` is then as it was. The grid's CRS goes
// into the file (GeoTIFF, netCDF) or a `.prj` beside it (ESRI ASCII); the
// formats without room for one (Surfer, Geosoft) are written with a note
// (caption "Note") that it was not stored.
bool WriteGrid(Reporter& platform, const GridValues& grid, const std::string& path,
               GridFileType type);

}  // namespace torvane
