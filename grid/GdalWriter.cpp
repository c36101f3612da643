// GeoTIFF and netCDF grids through GDAL. GeoTIFF: one single-precision
// band, north up, each node at the centre of its pixel (the pixel's outer
// corner half a cell before the node), blanks NaN and NaN the band's nodata,
// the grid's CRS and units; netCDF as NetcdfDataset.h writes it. GDAL writes
// the temporary file of an AtomicFile, which is renamed over the target once
// GDAL has closed it, so a failed write never leaves half a file behind.

#include <cmath>
#include <limits>
#include <string_view>
#include <vector>

#include "common/AtomicFile.h"
#include "grid/GdalLibrary.h"
#include "grid/GridCrs.h"
#include "grid/GridFileWriters.h"
#include "grid/NetcdfDataset.h"

namespace torvane {
namespace {

// The nodes into the band, a strip of rows at a time, the northernmost first.
bool WriteBand(const GdalLibrary& gdal, const GridValues& grid, GDALRasterBandH band) {
  constexpr std::uint32_t kStripRows = 64;
  const std::size_t ncols = grid.ncols;
  std::vector<float> strip(ncols * kStripRows);
  for (std::uint32_t first = 0; first < grid.nrows; first += kStripRows) {
    const std::uint32_t rows = std::min(kStripRows, grid.nrows - first);
    for (std::uint32_t c = 0; c < grid.ncols; ++c) {
      for (std::uint32_t line = 0; line < rows; ++line) {
        const float value = grid.At(c, grid.nrows - 1 - (first + line));
        strip[line * ncols + c] = IsBlank(value) ? std::numeric_limits<float>::quiet_NaN() : value;
      }
    }
    if (gdal.GDALRasterIO(band, GF_Write, 0, static_cast<int>(first), static_cast<int>(grid.ncols),
                          static_cast<int>(rows), strip.data(), static_cast<int>(grid.ncols),
                          static_cast<int>(rows), GDT_Float32, 0, 0) != CE_None) {
      return false;
    }
  }
  return true;
}

// The GeoTIFF into `path`: the band, its geotransform, CRS, nodata and
// units.
bool WriteGeoTiff(const GdalLibrary& gdal, const GridValues& grid, OGRSpatialReferenceH srs,
                  const std::string& path, std::string& reason) {
  const GDALDriverH driver = gdal.GDALGetDriverByName("GTiff");
  if (driver == nullptr) {
    reason = "this GDAL has no GeoTIFF driver";
    return false;
  }
  GdalDataset dataset(
      gdal.GDALCreate(driver, path.c_str(), static_cast<int>(grid.ncols),
                      static_cast<int>(grid.nrows), 1, GDT_Float32, nullptr),
      GdalDatasetClose{&gdal});
  if (!dataset) {
    reason = std::string("GDAL could not create the GeoTIFF file: ") + gdal.CPLGetLastErrorMsg();
    return false;
  }
  double transform[6] = {grid.xmin - grid.dx / 2, grid.dx, 0, grid.ymax() + grid.dy / 2, 0,
                         -grid.dy};
  gdal.GDALSetGeoTransform(dataset.get(), transform);
  if (srs != nullptr && gdal.GDALSetSpatialRef(dataset.get(), srs) != CE_None) {
    reason = std::string("GDAL could not store its CRS: ") + gdal.CPLGetLastErrorMsg();
    return false;
  }
  const GDALRasterBandH band = gdal.GDALGetRasterBand(dataset.get(), 1);
  gdal.GDALSetRasterNoDataValue(band, std::numeric_limits<double>::quiet_NaN());
  if (!grid.units.empty()) gdal.GDALSetRasterUnitType(band, grid.units.c_str());
  if (!WriteBand(gdal, grid, band)) {
    reason = std::string("GDAL could not write the nodes: ") + gdal.CPLGetLastErrorMsg();
    return false;
  }
  return FinishGdalDataset(gdal, dataset, "GeoTIFF", reason);
}

}  // namespace

bool WriteGdalGrid(const GridValues& grid, const std::string& path, GridFileType type,
                   std::string& reason) {
  const bool netcdf = type == GridFileType::kNetcdf;
  const std::string_view what = netcdf ? "netCDF" : "GeoTIFF";
  if (!(grid.dx > 0) || !(grid.dy > 0)) {
    reason = "a " + std::string(what) + " grid needs cells of positive size along both axes";
    return false;
  }
  constexpr std::uint32_t kMostCount = std::numeric_limits<int>::max();
  if (grid.ncols > kMostCount || grid.nrows > kMostCount) {
    reason = "the grid has too many columns or rows for GDAL";
    return false;
  }
  const GdalLibrary* const loaded = LoadGdal(reason);
  if (loaded == nullptr) {
    reason = "GDAL could not be loaded: " + reason;
    return false;
  }
  const GdalLibrary& gdal = *loaded;
  const QuietGdal quiet(gdal);
  // A CRS the file cannot carry is said, never dropped.
  const GdalSpatialRef srs = MakeSpatialRef(gdal, grid.crs);
  if (!grid.crs.empty() && !srs) {
    reason = "GDAL does not know its coordinate reference system";
    return false;
  }
  AtomicFile file(path);
  if (!file.ok()) {
    reason = FileWriteFailure(file.error());
    return false;
  }
  gdal.CPLErrorReset();
  const bool written = netcdf ? WriteNetcdfDataset(gdal, grid, srs.get(), file.temp_path(), reason)
                              : WriteGeoTiff(gdal, grid, srs.get(), file.temp_path(), reason);
  if (!written) return false;
  if (file.Commit()) return true;
  reason = FileWriteFailure(file.error());
  return false;
}

}  // namespace torvane
