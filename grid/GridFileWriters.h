#pragma once
// One writer per grid file format. Each writes the whole grid to `path`
// through a temporary file (an existing file is replaced only once the new
// one is complete), or refuses, with `reason` saying why: the format cannot
// hold the grid, or the file could not be written. WriteGrid (WriteGrid.h)
// picks the writer and tells the user.

#include <string>

#include "grid/GridFileType.h"
#include "grid/GridValues.h"

namespace torvane {

// Sections DSRB (version 2), GRID and DATA; nodes as doubles, rows from the
// south, blanks 1.70141e38.
bool WriteSurfer7Grid(const GridValues& grid, const std::string& path, std::string& reason);
// DSBB: 16-bit counts (at most 32767 columns and rows), nodes as floats,
// blanks 1.70141e38.
bool WriteSurfer6Grid(const GridValues& grid, const std::string& path, std::string& reason);
// DSAA text, rows from the south, blanks 1.70141e+38.
bool WriteSurferAsciiGrid(const GridValues& grid, const std::string& path, std::string& reason);
// ESRI ASCII: xllcorner/yllcorner half a cell south-west of the first node,
// cellsize (dx and dy lines for cells that are not square), a NODATA_value
// that no node holds; rows from the north.
bool WriteEsriAsciiGrid(const GridValues& grid, const std::string& path, std::string& reason);
// Geosoft binary, 2-byte elements: rows from the south, a base and
// multiplier spreading the values over the whole 16-bit range, blanks
// -32767. Refused when a value would come back more than 1e-4 of the value
// range away from what it was.
bool WriteGeosoftGrid(const GridValues& grid, const std::string& path, std::string& reason);
// GeoTIFF or netCDF through GDAL: one float band, north up, the first node
// at the centre of the first pixel, blanks NaN (the band's nodata).
bool WriteGdalGrid(const GridValues& grid, const std::string& path, GridFileType type,
                   std::string& reason);

// What the writers share: a reason when the grid has no nodes or no finite
// geometry; empty when it can be written.
std::string GridWriteRefusal(const GridValues& grid);
// The reason for a failed GridFileBytes or AtomicFile, with the system's
// (`system_error`, errno; 0 when none is known).
std::string FileWriteFailure(int system_error);

}  // namespace torvane
