#pragma once
// A grid's coordinate reference system, as text: WKT (or any form GDAL and
// PROJ take, "EPSG:32735"); empty when the grid does not say. GeoTIFF and
// netCDF hold it inside; an ESRI ASCII grid holds it in a `.prj` file beside
// it, named as GDAL names it (the grid's name with the extension `.prj`).

#include <string>

#include "grid/GdalLibrary.h"

namespace torvane {

// The `.prj` beside a grid file: `dir/name.asc` gives `dir/name.prj`.
std::string PrjPathOf(const std::string& grid_path);

// The text of the `.prj` beside `grid_path` (`.prj` or `.PRJ`); empty when
// there is none, or when it is no readable text of a plausible size.
std::string ReadPrjBeside(const std::string& grid_path);

// `crs` as GDAL writes it into a `.prj` file: ESRI's WKT on one line. False
// with `reason` when GDAL cannot be loaded or does not know the CRS.
bool EsriPrjText(const std::string& crs, std::string& text, std::string& reason);

// The dataset's CRS as WKT 2; empty when it has none.
std::string DatasetCrs(const GdalLibrary& gdal, GDALDatasetH dataset);

// A CRS GDAL made of `text`, with the easting (or longitude) as the first
// axis whatever its definition's order; released when it goes.
struct GdalSpatialRefRelease {
  const GdalLibrary* gdal;
  void operator()(OGRSpatialReferenceH srs) const { gdal->OSRDestroySpatialReference(srs); }
};
using GdalSpatialRef = std::unique_ptr<void, GdalSpatialRefRelease>;
// Null when GDAL makes no CRS of `text`.
GdalSpatialRef MakeSpatialRef(const GdalLibrary& gdal, const std::string& text);

}  // namespace torvane
