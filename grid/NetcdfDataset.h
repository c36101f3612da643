#pragma once
// A grid as a CF-1.8 netCDF file, written through GDAL's multidimensional
// API: coordinate variables `x` and `y` in metres (projection_x_coordinate,
// units "m"), or `lon` and `lat` in degrees for a geographic CRS; the nodes
// as a single-precision variable named for what they hold, with its units,
// NaN as `_FillValue` and a `grid_mapping` variable for the CRS. Nothing
// else goes into the file: no history, so no temporary file's name.

#include <string>

#include "grid/GdalLibrary.h"
#include "grid/GridValues.h"

namespace torvane {

// Writes `grid` to `path` (the temporary file of the caller's AtomicFile);
// `srs` is the grid's CRS, or null. False with `reason` when GDAL fails.
bool WriteNetcdfDataset(const GdalLibrary& gdal, const GridValues& grid, OGRSpatialReferenceH srs,
                        const std::string& path, std::string& reason);

// The name a netCDF variable can take: letters, digits and '_' (others
// become '_'), not starting with a digit; "z" for an empty name.
std::string NetcdfVariableName(const std::string& name);

}  // namespace torvane
