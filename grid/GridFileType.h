#pragma once
// The grid file formats Torvane writes, by the names the command line uses
// and by the file names that imply them.

#include <optional>
#include <string>
#include <string_view>

namespace torvane {

enum class GridFileType { kSurfer7, kSurfer6, kSurferAscii, kEsriAscii, kGeosoft, kGeoTiff, kNetcdf };

// "surfer7", "surfer6", "surfer-ascii", "esri", "geosoft", "gtiff", "netcdf".
std::optional<GridFileType> GridFileTypeNamed(std::string_view name);
std::string_view GridFileTypeName(GridFileType type);
// The names above, comma separated, for help texts and messages.
std::string GridFileTypeNames();
// By extension, in any letter case: .grd Surfer 7, .asc ESRI ASCII,
// .tif/.tiff GeoTIFF, .nc netCDF; nothing for any other.
std::optional<GridFileType> GridFileTypeOfPath(std::string_view path);

}  // namespace torvane
