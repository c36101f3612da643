#pragma once
// The grid file formats, one row each: the name the command line and the
// Python module use, the endings of a file name that ask for it, how its
// files are recognised and read, and how a grid is written in it. Every
// format lives in one file named for it (Surfer7Grid.cpp, ...), which
// defines its row; kGridFormats lists the rows. A new format is one new file
// and one row.
//
// TGridImport::Load maps a file once and hands it to the first row whose
// `recognise` knows its first bytes (the content, never the name); that
// reader alone decides. WriteGrid checks the grid, measures its nodes, makes
// the temporary file, has the row's `write` fill it and puts it in place, or
// tells the user why not.

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "common/MappedFile.h"
#include "grid/GridFileBytes.h"
#include "grid/GridReaders.h"
#include "grid/GridValues.h"
#include "grid/Gridimport.h"

namespace torvane {

// A grid on its way to a file, with the range of its nodes that are not
// blank (both 0 when every node is).
struct GridToWrite {
  const GridValues& grid;
  double low = 0;
  double high = 0;
};

// A small file a format keeps beside the grid (ESRI's `.prj` with the CRS).
struct SideFile {
  std::string path;  // empty: none
  std::string text;
};

struct GridFormat {
  std::string_view name;  // "surfer7"
  // Endings of a file name (lower case, without the dot) that ask for the
  // format when none is named.
  std::array<std::string_view, 2> extensions = {};

  // Reading, null for a format whose files another row reads (GDAL's).
  bool (*recognise)(std::span<const unsigned char> head) = nullptr;
  bool (*read)(TGridImport& grid, MappedFile& file, const std::string& path) = nullptr;
  OpenFailureMessage open_failure = OpenFailureMessage::kNone;

  // Writing, null for a format only read. `refuse` says why the format
  // cannot hold a grid (empty when it can), before any file is made;
  // `write` fills `out` (a library that writes a file by its name writes
  // out.temp_path()) or says why it could not.
  std::string (*refuse)(const GridToWrite& grid) = nullptr;
  bool (*write)(const GridToWrite& grid, GridFileBytes& out, std::string& reason) = nullptr;
  // The file beside the grid at `path`, made before anything is written and
  // put in place together with the grid; false with `reason` when it cannot
  // be made. Null for none.
  bool (*side_file)(const GridToWrite& grid, const std::string& path, SideFile& side,
                    std::string& reason) = nullptr;
  // Whether the grid's CRS is stored (in the file or beside it); WriteGrid
  // notes a CRS that a format has no place for.
  bool keeps_crs = false;
};

extern const GridFormat kSurfer7Format;
extern const GridFormat kSurfer6Format;
extern const GridFormat kSurferAsciiFormat;
extern const GridFormat kEsriAsciiFormat;
extern const GridFormat kGeosoftFormat;
extern const GridFormat kGeoTiffFormat;
extern const GridFormat kNetcdfFormat;
// Any single-band raster GDAL reads (GeoTIFF and netCDF among them), tried
// last: GDAL knows its formats by content itself.
extern const GridFormat kGdalRasterFormat;

inline constexpr const GridFormat* kGridFormats[] = {
    &kSurfer7Format, &kSurfer6Format, &kSurferAsciiFormat, &kEsriAsciiFormat, &kGeosoftFormat,
    &kGeoTiffFormat, &kNetcdfFormat,
#if !defined(TORVANE_GRID_READERS_WITHOUT_GDAL)  // set by the fuzz build alone
    &kGdalRasterFormat,
#endif
};

// The format a grid is written in by its name ("surfer7", "surfer6",
// "surfer-ascii", "esri", "geosoft", "gtiff", "netcdf"); null for any other.
const GridFormat* GridFormatNamed(std::string_view name);
// Those names, comma separated, for help texts and messages.
std::string GridFormatNames();
// The format a file name asks for by its ending, in any letter case: .grd
// Surfer 7, .asc ESRI ASCII, .tif/.tiff GeoTIFF, .nc netCDF; null for any
// other.
const GridFormat* GridFormatOfPath(std::string_view path);

}  // namespace torvane
